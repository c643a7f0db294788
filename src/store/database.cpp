#include "store/database.h"

#include "store/querycursor.h"

#include <sqlite3.h>

#include <vector>

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
    sqlite3_busy_timeout(handle, 2000);
    return std::unique_ptr<Database>(new Database(handle, path));
}

bool Database::execSql(const QString& sql)
{
    ++m_statements;
    return sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Database::queryTable(const QString& sql, QueryCursor& cursor)
{
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
    return QString::fromUtf8(sqlite3_errmsg(m_handle));
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_handle);
}

Transaction::Transaction(Database& db)
    : m_db(db)
    , m_name(QStringLiteral("ruvo_%1").arg(db.m_savepointDepth + 1))
{
    m_open = m_db.execSql(QStringLiteral("SAVEPOINT ") + m_name);
    if (m_open)
        ++m_db.m_savepointDepth;
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    m_db.execSql(QStringLiteral("ROLLBACK TO ") + m_name);
    m_db.execSql(QStringLiteral("RELEASE ") + m_name);
    --m_db.m_savepointDepth;
}

bool Transaction::commit()
{
    if (!m_open)
        return false;
    if (!m_db.execSql(QStringLiteral("RELEASE ") + m_name))
        return false;
    m_open = false;
    --m_db.m_savepointDepth;
    return true;
}
