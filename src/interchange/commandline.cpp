#include "interchange/commandline.h"

#include "addresses/addressinterchange.h"
#include "common/instancelock.h"
#include "interchange/icalendarexport.h"
#include "interchange/icalendarimport.h"
#include "interchange/interchangefile.h"
#include "store/database.h"
#include "store/schema.h"

#include <QFileInfo>
#include <QLockFile>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// The group named or numbered on the command line; 0 with a message when there is none such.
int chosenGroup(Database& db, const QString& wanted, QTextStream& err)
{
    const std::optional<QList<ImportGroup>> groups = importGroups(db);
    if (!groups) {
        err << u"Die Gruppen können nicht gelesen werden: "_s << db.errorText() << Qt::endl;
        return 0;
    }
    if (wanted.isEmpty()) {
        if (const int id = defaultImportGroup(*groups))
            return id;
        err << u"Es gibt keine Gruppe, in die Termine importiert werden können."_s << Qt::endl;
        return 0;
    }
    QStringList names;
    for (const ImportGroup& group : *groups) {
        if (group.name.compare(wanted, Qt::CaseInsensitive) == 0 ||
            QString::number(group.id) == wanted)
            return group.id;
        names << group.name;
    }
    err << u"Eine Gruppe \""_s << wanted << u"\" gibt es nicht. Gruppen: "_s << names.join(u", "_s)
        << Qt::endl;
    return 0;
}

int exportTo(Database& db, const InterchangeCommand& command, QTextStream& out, QTextStream& err)
{
    const bool calendar = command.action == InterchangeCommand::Action::ExportCalendar;
    QString error;
    const bool written = writeInterchangeFile(
            command.file,
            [&db, calendar](QIODevice& device, QString& why) {
                return calendar ? exportCalendar(db, device, why)
                                : exportAddresses(db, device, why);
            },
            error);
    if (!written) {
        err << error << Qt::endl;
        return kExitBadFile;
    }
    out << (calendar ? u"Termine und offene Aufgaben exportiert nach "_s
                     : u"Adressen exportiert nach "_s)
        << command.file << Qt::endl;
    return kExitDone;
}

int importFrom(Database& db, const InterchangeCommand& command, int importYear, QTextStream& out,
               QTextStream& err)
{
    QByteArray bytes;
    QString error;
    if (!readInterchangeFile(command.file, bytes, error)) {
        err << error << Qt::endl;
        return kExitBadFile;
    }
    const std::optional<InterchangeKind> kind = interchangeKindOf(command.file, bytes);
    if (!kind) {
        err << u"Die Datei "_s << command.file
            << u" ist weder eine iCalendar- noch eine vCard-Datei."_s << Qt::endl;
        return kExitBadFile;
    }

    ImportReport report;
    if (*kind == InterchangeKind::Calendar) {
        const CalendarImportPlan plan = readCalendar(bytes, importYear);
        if (!plan.error.isEmpty()) {
            err << command.file << u": "_s << plan.error << Qt::endl;
            return kExitBadFile;
        }
        const int group = plan.appointments.isEmpty() ? 0 : chosenGroup(db, command.group, err);
        if (group == 0 && !plan.appointments.isEmpty())
            return kExitBadFile;
        report = storeCalendar(db, plan, group);
    } else {
        const AddressImportPlan plan = readAddressFile(bytes);
        if (!plan.error.isEmpty()) {
            err << command.file << u": "_s << plan.error << Qt::endl;
            return kExitBadFile;
        }
        // Without a window nobody can be asked; skipping them would end as a success that
        // imported nothing.
        if (plan.withoutGender > 0 && command.anrede != 0 && command.anrede != 1) {
            err << command.file << u": "_s
                << (plan.withoutGender == 1 ? u"Einem Eintrag fehlt die Anrede"_s
                                            : QString::number(plan.withoutGender) +
                                                      u" Einträgen fehlt die Anrede"_s)
                << u" (die vCard nennt kein Geschlecht). Mit --salutation Frau|Herr wird sie "
                   u"ergänzt; es wurde nichts importiert."_s
                << Qt::endl;
            return kExitBadFile;
        }
        report = storeAddresses(db, plan, {true, command.anrede});
    }
    if (report.failed) {
        err << report.summaryText() << Qt::endl;
        return kExitBadFile;
    }
    out << report.summaryText() << Qt::endl;
    return kExitDone;
}

} // namespace

std::unique_ptr<Database> openDataFolder(const QString& dataDir, QLockFile& lock, QTextStream& err,
                                         int& exitCode)
{
    // The same lock as the program's: a running Ruvo must not have its file changed underneath.
    if (!takeInstanceLock(lock)) {
        err << u"Ruvo läuft bereits und arbeitet mit dem Datenordner "_s << dataDir
            << u". Bitte Ruvo zuerst beenden."_s << Qt::endl;
        exitCode = kExitInstanceRuns;
        return nullptr;
    }
    const QString path = dataDir + u"data.zr"_s;
    if (!QFileInfo(path).isFile()) {
        err << u"Im Datenordner "_s << dataDir
            << u" gibt es noch keine Datenbank. Ruvo bitte einmal starten, um sie anzulegen."_s
            << Qt::endl;
        exitCode = kExitNoDatabase;
        return nullptr;
    }
    QString error;
    std::unique_ptr<Database> db = Database::open(path, &error);
    if (!db || Schema::examine(*db) != Schema::State::Usable) {
        err << u"Die Datenbank "_s << path << u" ist nicht lesbar: "_s
            << (db ? db->errorText() : error) << Qt::endl;
        exitCode = kExitNoDatabase;
        return nullptr;
    }
    Schema::ensureIndexes(*db);
    return db;
}

int runInterchangeCommand(const QString& dataDir, const InterchangeCommand& command, int importYear,
                          QTextStream& out, QTextStream& err)
{
    QLockFile lock(instanceLockPath(dataDir));
    int refused = kExitDone;
    const std::unique_ptr<Database> db = openDataFolder(dataDir, lock, err, refused);
    if (!db)
        return refused;

    if (command.action == InterchangeCommand::Action::Import)
        return importFrom(*db, command, importYear, out, err);
    return exportTo(*db, command, out, err);
}
