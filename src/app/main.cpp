#include "app/application.h"
#include "app/programdirectory.h"
#include "app/qtprompter.h"
#include "common/programfont.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QApplication::setFont(interfaceFont());

    // The interface is German; so are the buttons of Qt's own dialogs.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    SystemClock clock;
    QtPrompter prompter;
    Context context(programDirectory(), prompter, clock);
    Application app(context);
    return app.run();
}
