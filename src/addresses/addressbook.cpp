#include "addresses/addressbook.h"

#include "addresses/addresseditor.h"
#include "addresses/addresslist.h"
#include "addresses/addresspage.h"
#include "addresses/addressstore.h"
#include "core/context.h"
#include "views/deferredfill.h"
#include "views/hoverpreviewwindow.h"
#include "views/overviews.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

AddressBook::AddressBook(Context& ctx, AddressPage& page, QWidget& window, Overviews& overviews,
                         QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_window(window)
    , m_overviews(overviews)
    , m_page(page)
{
    connect(m_page.addButton(), &QPushButton::clicked, this, [this] { openEditor(0); });
    connect(m_page.editButton(), &QPushButton::clicked, this, [this] {
        if (const qint64 id = selectedId())
            openEditor(id);
    });
    connect(m_page.removeButton(), &QPushButton::clicked, this, &AddressBook::removeSelected);
    connect(m_page.list(), &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const qint64 id = m_page.model()->idAt(index.row()))
            openEditor(id);
    });
    // Not activated: a double click reports an activation as well, which would open the
    // editor a second time once the first one is closed.
    m_list = m_page.list();
    m_page.list()->installEventFilter(this);
    connect(m_page.searchField(), &QLineEdit::textChanged, this, &AddressBook::fill);
    connect(m_page.sortKey(), &QComboBox::currentIndexChanged, this,
            [this](int index) { changeSort(AddressSortChoice::Key, index); });
    connect(m_page.sortDirection(), &QComboBox::currentIndexChanged, this,
            [this](int index) { changeSort(AddressSortChoice::Direction, index); });
    m_deferred = new DeferredFill(
            m_page, [this] { fill(m_page.searchField()->text()); }, this);
    m_deferred->request();
}

bool AddressBook::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                if (const qint64 id = selectedId())
                    openEditor(id);
                return true;
            case Qt::Key_Delete:
                removeSelected();
                return true;
            default:
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void AddressBook::reload()
{
    m_deferred->request();
}

void AddressBook::fill(const QString& searchText)
{
    reloadAddressList(*m_page.list(), *m_ctx.db, m_ctx.prompter, m_ctx.prefs, searchText,
                      progressNote());
}

void AddressBook::changeSort(AddressSortChoice choice, int value)
{
    // A new order shows the whole book; the search text waits until it is edited again.
    changeAddressSort(*m_page.list(), *m_ctx.db, m_ctx.prompter, m_ctx.prefs, choice, value,
                      progressNote());
}

qint64 AddressBook::selectedId() const
{
    const QModelIndexList selected = m_page.list()->selectionModel()->selectedRows();
    return selected.isEmpty() ? 0 : m_page.model()->idAt(selected.first().row());
}

void AddressBook::openEditor(qint64 id)
{
    m_overviews.leaveHover();
    AddressEditor editor(*m_ctx.db, m_ctx.prompter, id, &m_window);
    if (editor.exec() != QDialog::Accepted) {
        reload();
        return;
    }
    // The whole book again, so the saved entry is in sight; clearing the search rereads it.
    if (m_page.searchField()->text().isEmpty())
        fill(QString());
    else
        m_page.searchField()->clear();
    birthdaysChanged();
}

void AddressBook::removeSelected()
{
    const qint64 id = selectedId();
    if (id == 0)
        return;
    const DeleteOutcome outcome = deleteAddress(*m_ctx.db, m_ctx.prompter, id);
    if (outcome == DeleteOutcome::Declined)
        return;
    reload();
    if (outcome == DeleteOutcome::Deleted)
        birthdaysChanged();
}

void AddressBook::birthdaysChanged()
{
    m_overviews.drawYear();
    m_overviews.drawWeek();
}

ProgressNote AddressBook::progressNote()
{
    return [this](bool show) {
        HoverPreviewWindow* note = m_overviews.previewWindow();
        if (show)
            note->showProgressNote(m_window.pos(), u"Adressbuch"_s);
        else
            note->hideNote();
    };
}
