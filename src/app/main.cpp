#include "app/application.h"
#include "app/folders.h"
#include "app/qtprompter.h"
#include "common/programfont.h"
#include "common/version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(u"Ruvo"_s);
    QApplication::setApplicationVersion(versionText());
    // Names the desktop entry, so task switchers show the installed icon.
    QGuiApplication::setDesktopFileName(u"org.ruvo.Ruvo"_s);
    QApplication::setFont(interfaceFont());

    // The interface is German; so are the buttons of Qt's own dialogs.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Answered on the terminal before anything touches the data folder.
    QCommandLineParser parser;
    parser.setApplicationDescription(
            u"Ruvo – ein persönlicher Terminplaner mit Jahres- und Wochenübersicht, Adressbuch, "
            "Aufgaben, Erinnerungen und Notizen.\n\n"
            "Die Daten liegen im Ordner $RUVO_DIR, wenn die Variable gesetzt ist, sonst in "
            "$XDG_DATA_HOME/ruvo (~/.local/share/ruvo)."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(qapp);

    SystemClock clock;
    QtPrompter prompter;
    Context context(Folders::locate(), prompter, clock);
    Application app(context);
    return app.run();
}
