#pragma once

#include <QString>

#include <QtGlobal>

class Database;

// One loaded result table, walked row by row and column by column. Rows and columns count from 1;
// 0 means "before the first". The table is released by freeTable() or at the latest by the
// destructor.
class QueryCursor
{
public:
    QueryCursor() = default;
    ~QueryCursor();
    QueryCursor(const QueryCursor&) = delete;
    QueryCursor& operator=(const QueryCursor&) = delete;

    // Moves to the next row; false after the last one.
    bool nextRow();
    // Moves to the next column; after the last one it wraps to 0 and returns false.
    bool nextColumn();
    // The field at the current row and column; "" for NULL or outside the table.
    QString fieldText() const;
    // The field parsed as a decimal integer; NULL and empty text give 0.
    qint64 fieldNumber() const;
    // Releases the table; true if one was held.
    bool freeTable();

    // Direct access to a column (1-based) of the current row, for readers that need no walk.
    QString text(int column) const;
    qint64 number(int column) const;

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    int currentRow() const { return m_row; }
    int currentColumn() const { return m_column; }

private:
    friend class Database;
    const char* field(int row, int column) const;

    char** m_table = nullptr;
    int m_rows = 0;
    int m_columns = 0;
    int m_row = 0;
    int m_column = 0;
};
