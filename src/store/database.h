#pragma once

#include <QString>

#include <QtGlobal>
#include <functional>
#include <memory>
#include <span>

struct sqlite3;
struct sqlite3_stmt;
class QueryCursor;

// The current row of a streamed query, readable only inside the visitor it is handed to. Columns
// count from 0; NULL reads as 0 or "".
class RecordReader
{
public:
    qint64 number(int column) const;
    QString text(int column) const;

private:
    friend class Database;
    explicit RecordReader(sqlite3_stmt* statement)
        : m_statement(statement)
    {}
    sqlite3_stmt* m_statement;
};

// The one connection to the SQLite database file of a run.
class Database
{
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens or creates the file. On failure returns nothing and puts SQLite's text in *error.
    static std::unique_ptr<Database> open(const QString& path, QString* error = nullptr);

    // Runs statements that return no rows; true on success.
    bool execSql(const QString& sql);
    // Loads the whole result into the cursor (releasing what it held before); false on failure,
    // leaving the cursor empty.
    bool queryTable(const QString& sql, QueryCursor& cursor);
    // Runs a query whose columns are numbers and hands each row to the visitor, NULL as 0. For the
    // thousands of rows of an overview picture, where building a text table would cost more than
    // the query itself. False when the query failed.
    bool forEachRow(const QString& sql, const std::function<void(std::span<const qint64>)>& visit);
    // Runs a query and hands each row to the visitor as it comes, for long lists and exports that
    // need no copy of the whole result. False when the query failed.
    bool forEachRecord(const QString& sql, const std::function<void(const RecordReader&)>& visit);

    // Changes whenever the data may have changed: a write of this connection or a commit of
    // another one. Reads leave it alone. Equal stamps mean that what was read before still holds.
    struct ChangeStamp
    {
        quint64 statements = 0;
        qint64 dataVersion = 0;
        friend bool operator==(const ChangeStamp&, const ChangeStamp&) = default;
    };
    ChangeStamp changeStamp();

    // SQLite's text for the last failure of this connection.
    QString errorText() const;
    // False while a transaction is open on this connection.
    bool isAutocommit() const;
    // How long a statement waits for another connection's lock before it fails as busy.
    void setBusyTimeout(int milliseconds);
    // Called when a transaction could not be ended, so that nothing written from then on would
    // reach the file: the run must end through the database error path.
    void setStuckTransactionHandler(std::function<void()> handler);
    // The id given to the row of the last successful INSERT.
    qint64 lastInsertRowId() const;

    const QString& path() const { return m_path; }

private:
    Database(sqlite3* handle, QString path);

    // Marks the start of a statement: a kept error text belongs to the one before.
    void beginStatement();

    sqlite3* m_handle;
    QString m_path;
    int m_savepointDepth = 0;
    // Counts what may have written; queries that only read do not count.
    quint64 m_statements = 0;
    // The text of a failed commit, kept across the rollback that followed it.
    QString m_keptError;
    std::function<void()> m_stuckHandler;
    friend class Transaction;
};

// Groups statements so that a crash leaves the file before or after all of them. Nests safely.
// Rolls back unless commit() was called.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // True when the statements are in the file. On false everything since the start is rolled
    // back and errorText() tells why the commit failed.
    bool commit();

private:
    void rollback();

    Database& m_db;
    QString m_name;
    bool m_outermost = false;
    bool m_open = false;
};
