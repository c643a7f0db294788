#include "views/recordlistmodel.h"

#include <QBrush>

RecordListModel::RecordListModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent)
    , m_titles(std::move(titles))
    , m_meaningOfColumn(static_cast<std::size_t>(m_titles.size()), -1)
{}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : recordCount();
}

int RecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_titles.size())
        return {};
    return m_titles.at(section);
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= recordCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const int meaning = m_meaningOfColumn[static_cast<std::size_t>(index.column())];
        return meaning >= 0 ? recordText(index.row(), meaning) : QString();
    }
    case Qt::BackgroundRole:
        return QBrush(recordTint(index.row()));
    case Qt::UserRole:
        return recordId(index.row());
    default:
        return {};
    }
}

qint64 RecordListModel::idAt(int row) const
{
    return row >= 0 && row < recordCount() ? recordId(row) : 0;
}

void RecordListModel::setMeaningColumns(std::span<const int> columnOfMeaning)
{
    std::fill(m_meaningOfColumn.begin(), m_meaningOfColumn.end(), -1);
    for (std::size_t meaning = 0; meaning < columnOfMeaning.size(); ++meaning) {
        const int column = columnOfMeaning[meaning];
        if (column >= 0 && column < static_cast<int>(m_meaningOfColumn.size()))
            m_meaningOfColumn[static_cast<std::size_t>(column)] = static_cast<int>(meaning);
    }
}
