#pragma once

#include <QObject>

struct Context;
class Overviews;
class QTreeWidgetItem;
class SettingsPage;

// The group panel of the settings page: moving, editing and deleting the selected slot.
class GroupPanel : public QObject
{
    Q_OBJECT
public:
    GroupPanel(Context& ctx, SettingsPage& page, Overviews& overviews, QObject* parent = nullptr);

    void moveUp();
    void moveDown();
    void edit();
    void remove();

    // How many appointments the delete question lists before it only counts the rest, so the box
    // stays within the screen's work area.
    static int deleteListLineLimit(int workAreaHeight);

signals:
    // Names, colours or members of groups changed: lists that show appointments with their
    // group are out of date.
    void groupsChanged();

private:
    // The selected row, or nothing: the buttons then do nothing.
    QTreeWidgetItem* selectedRow() const;
    static int idOf(const QTreeWidgetItem* row);
    void refill(int selectedPosition);

    Context& m_ctx;
    SettingsPage& m_page;
    Overviews& m_overviews;
};
