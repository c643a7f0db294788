#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <span>
#include <vector>

// The table behind a long list of stored records (appointments, addresses): the subclass keeps
// its rows compact and turns them into texts only for the cells a view asks for. Each column
// shows one meaning of the record, chosen by the list's column titles.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    RecordListModel(QStringList titles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Display: the cell's text; background: the row's tint; Qt::UserRole: the record's id.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The record id of a row, 0 outside the list.
    qint64 idAt(int row) const;

protected:
    virtual int recordCount() const = 0;
    virtual qint64 recordId(int row) const = 0;
    virtual QColor recordTint(int row) const = 0;
    virtual QString recordText(int row, int meaning) const = 0;

    // For each meaning, the column that shows it (-2 for none), as mapColumnsByTitle gives it.
    void setMeaningColumns(std::span<const int> columnOfMeaning);

private:
    QStringList m_titles;
    // The meaning each column shows, -1 for none.
    std::vector<int> m_meaningOfColumn;
};
