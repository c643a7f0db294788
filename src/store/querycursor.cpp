#include "store/querycursor.h"

#include "common/datevalue.h"

#include <sqlite3.h>

QueryCursor::~QueryCursor()
{
    freeTable();
}

bool QueryCursor::nextRow()
{
    if (m_row >= m_rows)
        return false;
    ++m_row;
    m_column = 0;
    return true;
}

bool QueryCursor::nextColumn()
{
    if (m_column < m_columns) {
        ++m_column;
        return true;
    }
    m_column = 0;
    return false;
}

const char* QueryCursor::field(int row, int column) const
{
    if (!m_table || row < 1 || row > m_rows || column < 1 || column > m_columns)
        return nullptr;
    // Row 0 of the table holds the column names.
    return m_table[row * m_columns + column - 1];
}

QString QueryCursor::fieldText() const
{
    return text(m_column);
}

qint64 QueryCursor::fieldNumber() const
{
    return number(m_column);
}

QString QueryCursor::text(int column) const
{
    const char* value = field(m_row, column);
    return value ? QString::fromUtf8(value) : QString();
}

qint64 QueryCursor::number(int column) const
{
    const char* value = field(m_row, column);
    return value ? parseNumber(QString::fromUtf8(value)) : 0;
}

bool QueryCursor::freeTable()
{
    if (!m_table)
        return false;
    sqlite3_free_table(m_table);
    m_table = nullptr;
    m_rows = m_columns = m_row = m_column = 0;
    return true;
}
