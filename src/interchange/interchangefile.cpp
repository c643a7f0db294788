#include "interchange/interchangefile.h"

#include "common/textcodec.h"
#include "groups/groupstore.h"
#include "store/database.h"
#include "store/querycursor.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// Far beyond any real calendar or address book; keeps a wrong file from filling the memory.
constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

QString shownName(const QString& path)
{
    return u'"' + QFileInfo(path).fileName() + u'"';
}

} // namespace

std::optional<InterchangeKind> interchangeKindOfName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"ics"_s || suffix == u"ical"_s || suffix == u"ifb"_s)
        return InterchangeKind::Calendar;
    if (suffix == u"vcf"_s || suffix == u"vcard"_s)
        return InterchangeKind::Addresses;
    return std::nullopt;
}

std::optional<InterchangeKind> interchangeKindOf(const QString& path, const QByteArray& bytes)
{
    QByteArray head = utf8FromForeignText(bytes.left(4096));
    head = head.trimmed().toUpper();
    if (head.startsWith("BEGIN:VCALENDAR"))
        return InterchangeKind::Calendar;
    if (head.startsWith("BEGIN:VCARD"))
        return InterchangeKind::Addresses;
    return interchangeKindOfName(path);
}

bool readInterchangeFile(const QString& path, QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        error = u"Die Datei "_s + shownName(path) + u" gibt es nicht."_s;
        return false;
    }
    if (file.size() > kMaxFileSize) {
        error = u"Die Datei "_s + shownName(path) + u" ist mit "_s +
                QString::number(file.size() / (1024 * 1024)) +
                u" MB zu groß für einen Import (höchstens 32 MB)."_s;
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"Die Datei "_s + shownName(path) + u" kann nicht gelesen werden: "_s +
                file.errorString();
        return false;
    }
    // A device that grows while it is read (a pipe, a file still being written) is cut at the cap.
    bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        error = u"Die Datei "_s + shownName(path) +
                u" ist zu groß für einen Import (höchstens 32 MB)."_s;
        bytes.clear();
        return false;
    }
    return true;
}

bool writeInterchangeFile(const QString& path, const InterchangeWriter& write, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = u"Die Datei "_s + shownName(path) + u" kann nicht angelegt werden: "_s +
                file.errorString();
        return false;
    }
    if (!write(file, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = u"Die Datei "_s + shownName(path) + u" kann nicht geschrieben werden: "_s +
                file.errorString();
        return false;
    }
    return true;
}

std::optional<QList<ImportGroup>> importGroups(Database& db)
{
    QueryCursor cursor;
    if (!db.queryTable(
                u"SELECT id, grupname, ganztag FROM grups WHERE grupname != '' ORDER BY id ;"_s,
                cursor))
        return std::nullopt;
    QList<ImportGroup> groups;
    while (cursor.nextRow()) {
        groups.append({int(cursor.number(1)), cursor.text(2), cursor.number(3) == 1});
    }
    return groups;
}

int defaultImportGroup(const QList<ImportGroup>& groups)
{
    for (const ImportGroup& group : groups) {
        if (!group.allDay && !isSpecialGroupName(group.name))
            return group.id;
    }
    return groups.isEmpty() ? 0 : groups.first().id;
}
