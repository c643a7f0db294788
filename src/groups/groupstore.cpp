#include "groups/groupstore.h"

#include "common/grouppalette.h"
#include "common/preferences.h"
#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Appointments wait here while two groups exchange their slots; no group has this id.
constexpr int kParkingGroupId = kGroupCount + 1;
// Longer descriptions are cut in the delete question, so one line cannot widen the box past
// the screen.
constexpr qsizetype kMaxDescriptionLength = 100;

QString num(qint64 value)
{
    return QString::number(value);
}

bool exchangeSlots(Database& db, Prompter& prompter, Preferences& prefs, int id, int neighbour)
{
    if (id < 1 || id > kGroupCount || neighbour < 1 || neighbour > kGroupCount)
        return false;
    const std::optional<GroupSlot> moved = readGroupSlot(db, prompter, id);
    if (!moved)
        return false;
    const std::optional<GroupSlot> other = readGroupSlot(db, prompter, neighbour);
    if (!other)
        return false;

    auto slotUpdate = [](const GroupSlot& values, int target) {
        return u"UPDATE grups SET grupname="_s + sqlQuote(values.name) + u", jahrl="_s +
               num(values.yearly) + u", ganztag="_s + num(values.allDay) + u" WHERE id="_s +
               num(target) + u" ;"_s;
    };
    const QString statements[] = {
            slotUpdate(*other, id),
            slotUpdate(*moved, neighbour),
            u"UPDATE termine SET grup="_s + num(kParkingGroupId) + u" WHERE grup="_s + num(id) +
                    u" ;"_s,
            u"UPDATE termine SET grup="_s + num(id) + u" WHERE grup="_s + num(neighbour) + u" ;"_s,
            u"UPDATE termine SET grup="_s + num(neighbour) + u" WHERE grup="_s +
                    num(kParkingGroupId) + u" ;"_s,
    };
    Transaction transaction(db);
    for (const QString& sql : statements) {
        if (!db.execSql(sql)) {
            // Shown before the rollback, which would replace SQLite's error text.
            showDatabaseError(db, prompter);
            return false;
        }
    }
    if (!transaction.commit()) {
        showDatabaseError(db, prompter);
        return false;
    }
    prefs.resetDisplaySlots();
    return true;
}

} // namespace

bool isSpecialGroupName(const QString& name)
{
    return name == u"Geburtstag"_s || name == u"Feiertag"_s;
}

bool allowGroupAction(Prompter& prompter, const QString& name, GroupAction action)
{
    if (!isSpecialGroupName(name))
        return true;
    prompter.warn(u"Achtung!"_s,
                  action == GroupAction::Edit
                          ? u"Die Gruppen 'Geburtstag' und 'Feiertag' sind Spezialgruppen, sie "
                            "können nicht geändert werden!"_s
                          : u"Die Gruppen 'Geburtstag' und 'Feiertag' sind Spezialgruppen, sie "
                            "können nicht gelöscht werden!"_s);
    return false;
}

std::optional<GroupSlot> readGroupSlot(Database& db, Prompter& prompter, int id)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM grups WHERE id="_s + num(id) + u" ;"_s, cursor)) {
        showDatabaseError(db, prompter);
        return std::nullopt;
    }
    if (!cursor.nextRow())
        return std::nullopt;
    return GroupSlot{id, cursor.text(2), cursor.number(3) == 1, cursor.number(4) == 1};
}

bool moveGroupUp(Database& db, Prompter& prompter, Preferences& prefs, int id)
{
    return exchangeSlots(db, prompter, prefs, id, id - 1);
}

bool moveGroupDown(Database& db, Prompter& prompter, Preferences& prefs, int id)
{
    return exchangeSlots(db, prompter, prefs, id, id + 1);
}

QString deleteGroupQuestion(const QStringList& descriptions, int maxListedLines)
{
    // One line of the budget goes to the count of the ones left out, which is then at least two.
    maxListedLines = std::max(maxListedLines, 2);
    const qsizetype listed =
            descriptions.size() <= maxListedLines ? descriptions.size() : maxListedLines - 1;
    QString list;
    for (qsizetype i = 0; i < listed; ++i) {
        QString line = descriptions.at(i);
        line.replace(u'\n', u' ');
        if (line.size() > kMaxDescriptionLength)
            line = line.left(kMaxDescriptionLength - 1) + u'…';
        list += line + u'\n';
    }
    if (listed < descriptions.size())
        list += u"… und %1 weitere Termine\n"_s.arg(descriptions.size() - listed);
    return u"Beim Löschen einer Gruppe werden sämtliche Termine in dieser Gruppe auch gelöscht.\n"
           "folgende Termine werden gelöscht:\n"_s +
           list + u"\nWirklich Löschen??"_s;
}

bool deleteGroup(Database& db, Prompter& prompter, Preferences& prefs, int id, int maxListedLines)
{
    QStringList descriptions;
    {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT desc FROM termine WHERE grup="_s + num(id) + u" ;"_s, cursor)) {
            showDatabaseError(db, prompter);
            return false;
        }
        descriptions.reserve(cursor.rowCount());
        while (cursor.nextRow())
            descriptions << cursor.text(1);
    }
    if (!prompter.askYesNo(u"Achtung!!"_s, deleteGroupQuestion(descriptions, maxListedLines)))
        return false;

    Transaction transaction(db);
    if (!db.execSql(u"UPDATE grups SET grupname='', ganztag=0, jahrl=0 WHERE id="_s + num(id) +
                    u" ;"_s) ||
        !db.execSql(u"DELETE FROM termine WHERE grup="_s + num(id) + u" ;"_s) ||
        !transaction.commit()) {
        showDatabaseError(db, prompter);
        return false;
    }
    prefs.resetDisplaySlots();
    return true;
}

bool saveGroup(Database& db, Prompter& prompter, const GroupSlot& slot)
{
    if (isSpecialGroupName(slot.name)) {
        prompter.warn(u"Achtuing"_s,
                      u"Gruppennamen dürfen nicht 'Geburtstag' oder 'Feiertag' heißen!"_s);
        return false;
    }
    if (!db.execSql(u"UPDATE grups SET grupname="_s + sqlQuote(slot.name) + u", jahrl='"_s +
                    num(slot.yearly) + u"', ganztag='"_s + num(slot.allDay) + u"' WHERE id="_s +
                    num(slot.id) + u" ;"_s)) {
        showDatabaseError(db, prompter);
        return false;
    }
    return true;
}
