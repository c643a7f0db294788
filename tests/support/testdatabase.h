#pragma once

#include "store/database.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A temporary program directory, removed with the object.
class TestDirectory
{
public:
    TestDirectory();
    bool isValid() const { return m_dir.isValid(); }
    // The directory with a trailing separator, as the program addresses it.
    QString path() const;
    QString filePath(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

struct Context;
class Clock;
class Prompter;

// A context over the directory with a database built as on a first run and the built image pack;
// nothing when either could not be made.
std::unique_ptr<Context> createTestContext(const TestDirectory& dir, Prompter& prompter,
                                           Clock& clock);

// A database built as on a first run (tables, groups, holidays) in the given file.
std::unique_ptr<Database> createBootstrappedDatabase(const QString& path);

// An appointment row as the tests write it straight into the table.
struct TestAppointment
{
    qint64 start = 0;
    qint64 end = 0;
    int group = 0;
    QString description = QStringLiteral("x");
    int msg = 0;
    int remsg = 0;
    qint64 belong = 0;
    QString redo = {};
};
// Inserts the row and returns its id; 0 when the insert failed.
qint64 insertTestAppointment(Database& db, const TestAppointment& appointment);

// Every row of a query as one text per row, its fields joined by '|'; for compact comparisons.
QStringList queryRows(Database& db, const QString& sql);
// The single number a query yields (COUNT(*) and the like); -1 when the query fails.
qint64 queryNumber(Database& db, const QString& sql);

// A file's bytes, or "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
// Writes the bytes, creating the folders on the way; a failure fails the test.
void writeFile(const QString& path, const QByteArray& bytes);

// The image pack the build generated.
QString builtImagePackPath();
