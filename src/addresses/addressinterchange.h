#pragma once

#include "addresses/addressstore.h"
#include "common/importreport.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Database;
class QIODevice;

// What a vCard file holds, read without touching the database.
struct AddressImportPlan
{
    QList<AddressValues> entries;
    // Entries that lack a first or last name, or a gender; the import asks once how to complete
    // them.
    int withoutName = 0;
    int withoutGender = 0;
    // Cards that cannot become an entry at all, one line each.
    QStringList problems;
    // The file is unusable (not vCard, truncated, unknown encoding, too large).
    QString error;
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

// Every address as one vCard 4.0 file. False, with the reason in `error`, when the database
// cannot be read or the device not written.
bool exportAddresses(Database& db, QIODevice& device, QString& error);
