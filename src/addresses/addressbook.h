#pragma once

#include "addresses/addresslist.h"

#include <QObject>
#include <QString>

class AddressPage;
class DeferredFill;
class QWidget;
class Overviews;
struct Context;

// The behaviour of the page "Adressbuch": its buttons, the search field, the sort choices and the
// editor. Birthdays changed here are redrawn in both overviews at once.
class AddressBook : public QObject
{
    Q_OBJECT
public:
    // Connects the page's controls; the list is read once the page is in sight. The editor and
    // the progress note belong to `window`.
    AddressBook(Context& ctx, AddressPage& page, QWidget& window, Overviews& overviews,
                QObject* parent = nullptr);

    // Rereads the list with the search field's text, at once when the page is shown, else when
    // it is next opened.
    void reload();
    // Id 0 makes a new entry.
    void openEditor(qint64 id);
    void removeSelected();

protected:
    // Enter and Space open the selected entry, Delete asks to delete it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(const QString& searchText);
    void changeSort(AddressSortChoice choice, int value);
    qint64 selectedId() const;
    void birthdaysChanged();
    ProgressNote progressNote();

    Context& m_ctx;
    QWidget& m_window;
    Overviews& m_overviews;
    AddressPage& m_page;
    // Kept apart from the page: the key filter sees the list's last events after the page is gone.
    const QObject* m_list = nullptr;
    DeferredFill* m_deferred = nullptr;
};
