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

namespace {

void describeApplication()
{
    QCoreApplication::setApplicationName(u"Ruvo"_s);
    QCoreApplication::setApplicationVersion(versionText());
}

// The interface is German; so are the texts of Qt's own dialogs and of the command line.
void loadQtTranslation(QTranslator& translator)
{
    if (translator.load(QLocale(QLocale::German), u"qtbase"_s, u"_"_s,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

// --help and --version answer on the terminal and end the process, before anything touches the
// data folder and without needing a display.
void answerCommandLine(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    describeApplication();
    QTranslator translator;
    loadQtTranslation(translator);
    QCommandLineParser parser;
    parser.setApplicationDescription(
            u"Ruvo – ein persönlicher Terminplaner mit Jahres- und Wochenübersicht, Adressbuch, "
            "Aufgaben, Erinnerungen und Notizen.\n\n"
            "Die Daten liegen im Ordner $RUVO_DIR, wenn die Variable gesetzt ist, sonst in "
            "$XDG_DATA_HOME/ruvo (~/.local/share/ruvo)."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Options of Qt's own (-platform, -style) are left for the application object below.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
}

} // namespace

int main(int argc, char* argv[])
{
    answerCommandLine(argc, argv);

    QApplication qapp(argc, argv);
    describeApplication();
    // Names the desktop entry, so task switchers show the installed icon.
    QGuiApplication::setDesktopFileName(u"org.ruvo.Ruvo"_s);
    QApplication::setFont(interfaceFont());
    QTranslator translator;
    loadQtTranslation(translator);

    SystemClock clock;
    QtPrompter prompter;
    Context context(Folders::locate(), prompter, clock);
    Application app(context);
    return app.run();
}
