#include "store/database.h"

#include "store/querycursor.h"

#include <sqlite3.h>

#include <vector>

namespace {
// A commit that another reader blocks is tried this often, each time for the busy timeout.
constexpr int kCommitAttempts = 3;
constexpr int kDefaultBusyTimeoutMs = 2000;
} // namespace

Database::Database(sqlite3* handle, QString path)
    : m_handle(handle)
    , m_path(std::move(path))
{}

Database::~Database()
{
    sqlite3_close(m_handle);
}

std::unique_ptr<Database> Database::open(const QString& path, QString* error)
{
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open(path.toUtf8().constData(), &handle);
    if (rc != SQLITE_OK) {
        if (error)
            *error = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                            : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        return nullptr;
    }
    // Another process holding the file briefly (a backup tool, a second start) should not turn
    // into a database error at once.
    sqlite3_busy_timeout(handle, kDefaultBusyTimeoutMs);
    // Room for the whole file of decades of appointments: the lists and pictures read the same
    // pages again and again, which SQLite's default of 2 MiB would fetch from the system anew.
    sqlite3_exec(handle, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    return std::unique_ptr<Database>(new Database(handle, path));
}

void Database::beginStatement()
{
    m_keptError.clear();
}

bool Database::execSql(const QString& sql)
{
    beginStatement();
    ++m_statements;
    return sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Database::queryTable(const QString& sql, QueryCursor& cursor)
{
    beginStatement();
    cursor.freeTable();
    char** table = nullptr;
    int rows = 0;
    int columns = 0;
    const int rc =
            sqlite3_get_table(m_handle, sql.toUtf8().constData(), &table, &rows, &columns, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_free_table(table);
        return false;
    }
    cursor.m_table = table;
    cursor.m_rows = rows;
    cursor.m_columns = columns;
    cursor.m_row = 0;
    cursor.m_column = 0;
    return true;
}

bool Database::forEachRow(const QString& sql,
                          const std::function<void(std::span<const qint64>)>& visit)
{
    m_keptError.clear();
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()), &statement,
                           nullptr) != SQLITE_OK)
        return false;
    const int columns = sqlite3_column_count(statement);
    std::vector<qint64> row(static_cast<std::size_t>(columns));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            row[static_cast<std::size_t>(c)] = sqlite3_column_int64(statement, c);
        visit(row);
    }
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE;
}

qint64 RecordReader::number(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString RecordReader::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column)) : QString();
}

bool Database::forEachRecord(const QString& sql,
                             const std::function<void(const RecordReader&)>& visit)
{
    beginStatement();
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()), &statement,
                           nullptr) != SQLITE_OK)
        return false;
    const RecordReader reader(statement);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        visit(reader);
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE;
}

Database::ChangeStamp Database::changeStamp()
{
    ChangeStamp stamp;
    stamp.statements = m_statements;
    forEachRow(QStringLiteral("PRAGMA data_version"),
               [&stamp](std::span<const qint64> row) { stamp.dataVersion = row[0]; });
    return stamp;
}

QString Database::errorText() const
{
    if (!m_keptError.isEmpty())
        return m_keptError;
    return QString::fromUtf8(sqlite3_errmsg(m_handle));
}

bool Database::isAutocommit() const
{
    return sqlite3_get_autocommit(m_handle) != 0;
}

void Database::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_handle, milliseconds);
}

void Database::setStuckTransactionHandler(std::function<void()> handler)
{
    m_stuckHandler = std::move(handler);
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_handle);
}

Transaction::Transaction(Database& db)
    : m_db(db)
    , m_name(QStringLiteral("ruvo_%1").arg(db.m_savepointDepth + 1))
    , m_outermost(db.isAutocommit())
{
    m_open = m_db.execSql(QStringLiteral("SAVEPOINT ") + m_name);
    if (m_open)
        ++m_db.m_savepointDepth;
}

Transaction::~Transaction()
{
    if (m_open)
        rollback();
}

bool Transaction::commit()
{
    if (!m_open)
        return false;
    const QString release = QStringLiteral("RELEASE ") + m_name;
    bool done = m_db.execSql(release);
    // Only the outermost release writes the file, and a reader of another program can hold it
    // past one busy timeout.
    for (int attempt = 1; !done && m_outermost && attempt < kCommitAttempts &&
                          sqlite3_errcode(m_db.m_handle) == SQLITE_BUSY;
         ++attempt)
        done = m_db.execSql(release);
    if (done) {
        m_open = false;
        --m_db.m_savepointDepth;
        return true;
    }
    const QString reason = m_db.errorText();
    rollback();
    m_db.m_keptError = reason;
    return false;
}

void Transaction::rollback()
{
    m_open = false;
    --m_db.m_savepointDepth;
    if (!m_outermost) {
        // Inside an outer transaction nothing is written yet, so this cannot be blocked.
        m_db.execSql(QStringLiteral("ROLLBACK TO ") + m_name);
        m_db.execSql(QStringLiteral("RELEASE ") + m_name);
        return;
    }
    // A plain ROLLBACK ends the transaction without writing; ROLLBACK TO followed by RELEASE
    // would commit again and fail on the same lock, leaving the connection inside it.
    for (int attempt = 0; attempt < kCommitAttempts && !m_db.isAutocommit(); ++attempt)
        m_db.execSql(QStringLiteral("ROLLBACK"));
    if (!m_db.isAutocommit() && m_db.m_stuckHandler)
        m_db.m_stuckHandler();
}
