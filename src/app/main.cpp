#include "app/application.h"
#include "app/qtprompter.h"
#include "common/programfont.h"
#include "common/version.h"
#include "core/folders.h"
#include "interchange/commandline.h"
#include "sync/synccommand.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <optional>

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
// data folder and without needing a display; so do the exports and imports, which then work on
// the data folder without a window.
std::optional<int> answerCommandLine(int argc, char* argv[])
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
    const QCommandLineOption exportIcs(u"export-ics"_s,
                                       u"Alle Termine und offenen Aufgaben als iCalendar-Datei "
                                       "schreiben."_s,
                                       u"DATEI"_s);
    const QCommandLineOption exportVcf(u"export-vcf"_s,
                                       u"Alle Adressen als vCard-Datei schreiben."_s, u"DATEI"_s);
    const QCommandLineOption import(u"import"_s, u"Eine iCalendar- oder vCard-Datei importieren."_s,
                                    u"DATEI"_s);
    const QCommandLineOption group(u"group"_s,
                                   u"Gruppe (Name oder Nummer) der importierten Termine, deren "
                                   "Kategorie keine Gruppe nennt; sonst die erste gewöhnliche "
                                   "Gruppe."_s,
                                   u"GRUPPE"_s);
    const QCommandLineOption salutation(u"salutation"_s,
                                        u"Anrede (Frau oder Herr) importierter Adressen ohne "
                                        "Geschlecht; ohne diese Angabe wird eine Datei mit "
                                        "solchen Adressen nicht importiert."_s,
                                        u"ANREDE"_s);
    const QCommandLineOption sync(
            u"sync"_s,
            u"Termine, offene Aufgaben und Adressen mit dem CalDAV- und CardDAV-Server abgleichen, "
            "den RUVO_SYNC_URL, RUVO_SYNC_USER und RUVO_SYNC_PASSWORD "
            "nennen."_s);
    parser.addOptions({exportIcs, exportVcf, import, group, salutation, sync});
    // Options of Qt's own (-platform, -style) are left for the application object below.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    QTextStream out(stdout);
    QTextStream err(stderr);
    const int actions = int(parser.isSet(exportIcs)) + int(parser.isSet(exportVcf)) +
                        int(parser.isSet(import)) + int(parser.isSet(sync));
    if (actions == 0)
        return std::nullopt;
    if (actions > 1) {
        err << u"Bitte nur eine von --export-ics, --export-vcf, --import und --sync angeben."_s
            << Qt::endl;
        return kExitBadFile;
    }
    SystemClock clock;
    if (parser.isSet(sync))
        return runSyncCommand(Folders::locate().data, syncAccountFromEnvironment(),
                              dateParts(clock.now()).year, out, err);
    InterchangeCommand command;
    if (parser.isSet(exportIcs)) {
        command.action = InterchangeCommand::Action::ExportCalendar;
        command.file = parser.value(exportIcs);
    } else if (parser.isSet(exportVcf)) {
        command.action = InterchangeCommand::Action::ExportAddresses;
        command.file = parser.value(exportVcf);
    } else {
        command.file = parser.value(import);
    }
    command.group = parser.value(group);
    if (parser.isSet(salutation)) {
        const QString value = parser.value(salutation);
        if (value.compare(u"Frau"_s, Qt::CaseInsensitive) == 0) {
            command.anrede = 0;
        } else if (value.compare(u"Herr"_s, Qt::CaseInsensitive) == 0) {
            command.anrede = 1;
        } else {
            err << u"--salutation nimmt \"Frau\" oder \"Herr\"."_s << Qt::endl;
            return kExitBadFile;
        }
    }
    return runInterchangeCommand(Folders::locate().data, command, dateParts(clock.now()).year, out,
                                 err);
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> code = answerCommandLine(argc, argv))
        return *code;

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
