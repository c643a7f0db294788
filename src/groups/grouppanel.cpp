#include "groups/grouppanel.h"

#include "core/context.h"
#include "groups/groupeditordialog.h"
#include "groups/grouplist.h"
#include "groups/groupstore.h"
#include "settings/settingspage.h"
#include "views/overviews.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

GroupPanel::GroupPanel(Context& ctx, SettingsPage& page, Overviews& overviews, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_page(page)
    , m_overviews(overviews)
{
    connect(page.groupUpButton(), &QPushButton::clicked, this, &GroupPanel::moveUp);
    connect(page.groupDownButton(), &QPushButton::clicked, this, &GroupPanel::moveDown);
    connect(page.groupEditButton(), &QPushButton::clicked, this, &GroupPanel::edit);
    connect(page.groupDeleteButton(), &QPushButton::clicked, this, &GroupPanel::remove);
    connect(page.groupList(), &QTreeWidget::itemDoubleClicked, this, [this] { edit(); });
}

QTreeWidgetItem* GroupPanel::selectedRow() const
{
    const QList<QTreeWidgetItem*> rows = m_page.groupList()->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

int GroupPanel::idOf(const QTreeWidgetItem* row)
{
    return row->data(0, Qt::UserRole).toInt();
}

void GroupPanel::refill(int selectedPosition)
{
    fillGroupList(*m_page.groupList(), *m_ctx.db, m_ctx.prompter, *m_ctx.images, selectedPosition);
}

void GroupPanel::moveUp()
{
    const QTreeWidgetItem* row = selectedRow();
    if (!row)
        return;
    const int id = idOf(row);
    if (id <= 1)
        return;
    const bool moved = moveGroupUp(*m_ctx.db, m_ctx.prompter, m_ctx.prefs, id);
    refill(moved ? id - 2 : id - 1);
    if (moved)
        emit groupsChanged();
}

void GroupPanel::moveDown()
{
    const QTreeWidgetItem* row = selectedRow();
    if (!row)
        return;
    const int id = idOf(row);
    if (id >= 20)
        return;
    const bool moved = moveGroupDown(*m_ctx.db, m_ctx.prompter, m_ctx.prefs, id);
    refill(moved ? id : id - 1);
    if (moved)
        emit groupsChanged();
}

void GroupPanel::edit()
{
    const QTreeWidgetItem* row = selectedRow();
    if (!row || !allowGroupAction(m_ctx.prompter, row->text(1), GroupAction::Edit))
        return;
    const int id = idOf(row);
    const std::optional<GroupSlot> slot = readGroupSlot(*m_ctx.db, m_ctx.prompter, id);
    if (!slot)
        return;
    GroupEditorDialog dialog(*m_ctx.db, m_ctx.prompter, *slot, m_page.window());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted)
        m_overviews.drawYear();
    refill(id - 1);
    if (accepted)
        emit groupsChanged();
}

void GroupPanel::remove()
{
    const QTreeWidgetItem* row = selectedRow();
    if (!row || !allowGroupAction(m_ctx.prompter, row->text(1), GroupAction::Delete))
        return;
    const int id = idOf(row);
    const int workAreaHeight =
            m_ctx.workArea.isValid() ? m_ctx.workArea.height() : m_page.window()->height();
    if (deleteGroup(*m_ctx.db, m_ctx.prompter, m_ctx.prefs, id,
                    deleteListLineLimit(workAreaHeight))) {
        refill(id - 1);
        emit groupsChanged();
    }
}

int GroupPanel::deleteListLineLimit(int workAreaHeight)
{
    // The box adds its title bar and frame, the fixed lines of the question, margins and buttons.
    constexpr int kBoxOverhead = 260;
    const int lineHeight = std::max(QFontMetrics(QApplication::font()).lineSpacing(), 1);
    return std::max((workAreaHeight - kBoxOverhead) / lineHeight, 3);
}
