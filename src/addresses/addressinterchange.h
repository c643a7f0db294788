#pragma once

#include "addresses/addressstore.h"
#include "common/importreport.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class Database;
class QIODevice;
class VCardWriter;

// What the import needs besides the values of one entry.
struct AddressImportHints
{
    // The names a missing first or last name is completed from (formatted name, nickname,
    // organisation, the e-mail's local part), empty when the card offers none.
    QString vname;
    QString nname;
    // How problem lines name the entry.
    QString label;
    // Lines for the report once the entry is written: what of the card was left out and why.
    QStringList notes;
};

// What a vCard file holds, read without touching the database.
struct AddressImportPlan
{
    QList<AddressValues> entries;
    // One per entry, in the same order.
    QList<AddressImportHints> hints;
    // Entries that lack a first or last name, or a gender; the import asks once how to complete
    // them.
    int withoutName = 0;
    int withoutGender = 0;
    // Cards that cannot become an entry at all, one line each.
    QStringList problems;
    // The file is unusable (not vCard, truncated, unknown encoding, too large).
    QString error;
    // Lines for the report about the file as a whole.
    QStringList notes;
};

// How the import completes entries, as the user chose once for the whole file.
struct AddressCompletion
{
    // Missing first or last names are taken from the card's other names; false skips such entries.
    bool completeNames = true;
    // The Anrede of entries without a gender: 0 "Frau", 1 "Herr", -1 skips them.
    int anrede = -1;
};

AddressImportPlan readAddressFile(const QByteArray& bytes);

// Writes the entries and their birthdays in one transaction; an entry whose first and last name
// already exist is skipped as a duplicate.
ImportReport storeAddresses(Database& db, const AddressImportPlan& plan,
                            const AddressCompletion& completion);

// The UID of the entry's card, the same on every export: other address books tell cards apart
// by it and recognise a card exported again.
QString addressCardUid(qint64 id);

// One address as a vCard 4.0 card. The birthday is that of its birthday row: the day the
// calendar shows, and the year (0 when the row has none). The UID is written for an id above 0,
// the REV for a valid revision.
void writeAddressCard(VCardWriter& writer, const AddressValues& stored,
                      std::optional<BirthdayRow> birthday, qint64 id = 0,
                      const QDateTime& revision = {});

// Every address as one vCard 4.0 file. False, with the reason in `error`, when the database
// cannot be read or the device not written.
bool exportAddresses(Database& db, QIODevice& device, QString& error);

// One address as the card a server stores under its own address.
struct AddressCard
{
    qint64 id = 0;
    QString uid;
    QByteArray text;
};

// Every address as a card of its own, without REV; nothing, with the reason in `error`, when the
// address book cannot be read.
std::optional<QList<AddressCard>> exportAddressCards(Database& db, QString& error);
