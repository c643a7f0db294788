#include "addresses/addressbook.h"
#include "app/organiserwindow.h"
#include "app/parts.h"

AddressesPart::AddressesPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_book(new AddressBook(parts.ctx, *parts.window.addressPage(), parts.window, parts.overviews,
                             this))
{
    for (auto changed : {&Changes::addressesChanged, &Changes::databaseReplaced})
        connect(&parts.changes, changed, m_book, &AddressBook::reload);
}
