#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Database;
class QIODevice;

// The two kinds of file Ruvo exchanges with other calendars and address books.
enum class InterchangeKind { Calendar, Addresses };

// By the name's extension alone.
std::optional<InterchangeKind> interchangeKindOfName(const QString& path);
// By content first (a peer may name a file anything), then by the name's extension.
std::optional<InterchangeKind> interchangeKindOf(const QString& path, const QByteArray& bytes);

// Reads a file to import; false with a German reason when it is missing, unreadable or too large.
bool readInterchangeFile(const QString& path, QByteArray& bytes, QString& error);

// Writes an export through a temporary file, so a failure leaves an earlier file untouched.
using InterchangeWriter = std::function<bool(QIODevice& device, QString& error)>;
bool writeInterchangeFile(const QString& path, const InterchangeWriter& write, QString& error);

// A group events can be imported into.
struct ImportGroup
{
    int id = 0;
    QString name;
    bool allDay = false;
};
// The groups with a name, by id; nothing when the query failed.
std::optional<QList<ImportGroup>> importGroups(Database& db);
// Where events go when nobody chooses: the first group that is neither all-day nor one of the
// special ones, else the first named group; 0 when there is none.
int defaultImportGroup(const QList<ImportGroup>& groups);
