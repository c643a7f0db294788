#include "sync/syncdialog.h"

#include "sync/davclient.h"
#include "sync/passwordstore.h"
#include "sync/syncrun.h"
#include "sync/syncworker.h"
#include "views/controls.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QTableWidget* table(QWidget* parent, const QString& name, const QStringList& headers)
{
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headers);
    t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Wide enough for the longest group name; the addresses take the rest.
    t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    t->horizontalHeader()->resizeSection(1, 170);
    t->verticalHeader()->hide();
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    return t;
}
} // namespace

SyncDialog::SyncDialog(const SyncSettings& settings, const QString& settingsPath,
                       PasswordStore& passwords, const QList<ImportGroup>& groups, QWidget* parent)
    : QDialog(parent)
    , m_initial(settings)
    , m_path(settingsPath)
    , m_passwords(passwords)
    , m_groups(groups)
    , m_worker(new SyncWorker(this))
{
    setObjectName(u"syncDialog"_s);
    setWindowTitle(u"Synchronisation"_s);
    Controls::keepCaptionOnly(this);
    auto* layout = new QVBoxLayout(this);

    auto* account = new QFormLayout;
    m_url = new QLineEdit(settings.url, this);
    m_url->setObjectName(u"syncUrl"_s);
    m_url->setPlaceholderText(u"https://server.example/dav/"_s);
    account->addRow(u"Server-Adresse:"_s, m_url);
    m_user = new QLineEdit(settings.user, this);
    m_user->setObjectName(u"syncUser"_s);
    account->addRow(u"Benutzername:"_s, m_user);
    m_password = new QLineEdit(this);
    m_password->setObjectName(u"syncPassword"_s);
    m_password->setEchoMode(QLineEdit::Password);
    if (settings.hasAccount() && passwords.known(settings.passwordKey()))
        m_password->setPlaceholderText(u"(unverändert)"_s);
    account->addRow(u"Passwort:"_s, m_password);
    layout->addLayout(account);

    m_connect = new QPushButton(u"Verbinden und Kalender holen"_s, this);
    m_connect->setObjectName(u"syncConnect"_s);
    m_connect->setAutoDefault(false);
    connect(m_connect, &QPushButton::clicked, this, &SyncDialog::connectToServer);
    layout->addWidget(m_connect, 0, Qt::AlignLeft);

    layout->addWidget(new QLabel(u"Kalender des Servers und ihre Gruppen:"_s, this));
    m_calendars = table(this, u"syncCalendars"_s, {u"Kalender"_s, u"Gruppe"_s});
    m_calendars->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Until the server was asked again, the calendars known from before keep their groups.
    QStringList known = settings.calendarGroups.keys();
    known.sort();
    for (const QString& url : std::as_const(known))
        addCalendarRow(url, url, settings.calendarGroups.value(url));
    layout->addWidget(m_calendars);

    auto* book = new QFormLayout;
    m_addressBook = new QComboBox(this);
    m_addressBook->setObjectName(u"syncAddressBook"_s);
    m_addressBook->addItem(u"(keines)"_s, QString());
    if (!settings.addressBook.isEmpty()) {
        m_addressBook->addItem(settings.addressBook, settings.addressBook);
        m_addressBook->setCurrentIndex(1);
    }
    book->addRow(u"Adressbuch:"_s, m_addressBook);
    layout->addLayout(book);

    layout->addWidget(new QLabel(u"Abonnierte Kalender (.ics, nur lesen):"_s, this));
    m_subscriptions = table(this, u"syncSubscriptions"_s, {u"Adresse"_s, u"Gruppe"_s});
    for (const Subscription& s : settings.subscriptions)
        addSubscriptionRow(s);
    layout->addWidget(m_subscriptions);
    auto* subscriptionButtons = new QHBoxLayout;
    auto* add = new QPushButton(u"Hinzufügen"_s, this);
    add->setObjectName(u"syncAddSubscription"_s);
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] {
        addSubscriptionRow({{}, defaultImportGroup(m_groups)});
        m_subscriptions->setCurrentCell(m_subscriptions->rowCount() - 1, 0);
        m_subscriptions->editItem(m_subscriptions->item(m_subscriptions->rowCount() - 1, 0));
    });
    auto* remove = new QPushButton(u"Entfernen"_s, this);
    remove->setObjectName(u"syncRemoveSubscription"_s);
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_subscriptions->currentRow() >= 0)
            m_subscriptions->removeRow(m_subscriptions->currentRow());
    });
    subscriptionButtons->addWidget(add);
    subscriptionButtons->addWidget(remove);
    subscriptionButtons->addStretch();
    layout->addLayout(subscriptionButtons);

    m_message = new QLabel(this);
    m_message->setObjectName(u"syncMessage"_s);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SyncDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SyncDialog::reject);
    layout->addWidget(buttons);
    resize(520, 560);
}

SyncDialog::~SyncDialog() = default;

bool SyncDialog::isConnecting() const
{
    return m_worker->isBusy();
}

QComboBox* SyncDialog::groupChoice(int group) const
{
    auto* box = new QComboBox;
    for (const ImportGroup& g : m_groups)
        box->addItem(g.name, g.id);
    // A group deleted since keeps its number rather than silently becoming another.
    int index = box->findData(group);
    if (index < 0 && group != 0) {
        box->addItem(u"Gruppe %1 (gibt es nicht mehr)"_s.arg(group), group);
        index = box->count() - 1;
    }
    box->setCurrentIndex(std::max(index, 0));
    return box;
}

int SyncDialog::defaultGroup(const QString& calendarName) const
{
    for (const ImportGroup& g : m_groups) {
        if (g.name.compare(calendarName, Qt::CaseInsensitive) == 0)
            return g.id;
    }
    return defaultImportGroup(m_groups);
}

void SyncDialog::addCalendarRow(const QString& url, const QString& name, int group)
{
    const int row = m_calendars->rowCount();
    m_calendars->insertRow(row);
    auto* item = new QTableWidgetItem(name);
    item->setData(Qt::UserRole, url);
    item->setToolTip(url);
    m_calendars->setItem(row, 0, item);
    m_calendars->setCellWidget(row, 1, groupChoice(group));
}

void SyncDialog::addSubscriptionRow(const Subscription& subscription)
{
    const int row = m_subscriptions->rowCount();
    m_subscriptions->insertRow(row);
    m_subscriptions->setItem(row, 0, new QTableWidgetItem(subscription.url));
    m_subscriptions->setCellWidget(row, 1, groupChoice(subscription.group));
}

void SyncDialog::showMessage(const QString& text)
{
    m_message->setText(text);
}

void SyncDialog::connectToServer()
{
    const QString url = m_url->text().trimmed();
    const QString user = m_user->text().trimmed();
    if (const QString problem = syncAddressProblem(url); !problem.isEmpty()) {
        showMessage(problem);
        return;
    }
    if (user.isEmpty()) {
        showMessage(u"Bitte den Benutzernamen eintragen."_s);
        return;
    }
    QString password = m_password->text();
    if (password.isEmpty()) {
        const SyncSettings typed{url, user, {}, {}, {}};
        password = m_passwords.known(typed.passwordKey()).value_or(QString());
    }
    auto found = std::make_shared<DiscoveryResult>();
    const bool started = m_worker->start(
            [found, url, user, password] {
                DavClient client(user, password);
                *found = discoverCollections(client, QUrl(url, QUrl::StrictMode));
            },
            [this, found] {
                m_connect->setEnabled(true);
                showCollections(*found);
            });
    if (!started)
        return;
    m_connect->setEnabled(false);
    showMessage(u"Verbinde mit %1 …"_s.arg(QUrl(url).host()));
}

void SyncDialog::showCollections(const DiscoveryResult& found)
{
    if (!found.error.isEmpty()) {
        showMessage(found.error);
        return;
    }
    const SyncSettings shown = settings();
    m_calendars->setRowCount(0);
    for (const DavCollection& c : found.calendars) {
        const QString url = c.url.toString();
        const QString name = c.displayName.isEmpty() ? c.url.path() : c.displayName;
        addCalendarRow(url, name, shown.calendarGroups.value(url, defaultGroup(name)));
    }
    const QString chosen = shown.addressBook;
    m_addressBook->clear();
    m_addressBook->addItem(u"(keines)"_s, QString());
    for (const DavCollection& b : found.addressBooks) {
        m_addressBook->addItem(b.displayName.isEmpty() ? b.url.path() : b.displayName,
                               b.url.toString());
    }
    // The first set-up takes the first address book, as the command line does; later "none"
    // stays the user's choice.
    int index = chosen.isEmpty() ? 0 : m_addressBook->findData(chosen);
    if (chosen.isEmpty() && !m_initial.hasAccount() && m_addressBook->count() > 1)
        index = 1;
    m_addressBook->setCurrentIndex(std::max(index, 0));
    showMessage(found.calendars.isEmpty() ? u"Der Server bietet keinen Kalender an."_s
                                          : u"%1 Kalender und %2 Adressbücher gefunden."_s.arg(
                                                    QString::number(found.calendars.size()),
                                                    QString::number(found.addressBooks.size())));
}

SyncSettings SyncDialog::settings() const
{
    SyncSettings s;
    s.url = m_url->text().trimmed();
    s.user = m_user->text().trimmed();
    for (int row = 0; row < m_calendars->rowCount(); ++row) {
        const auto* box = static_cast<QComboBox*>(m_calendars->cellWidget(row, 1));
        s.calendarGroups.insert(m_calendars->item(row, 0)->data(Qt::UserRole).toString(),
                                box->currentData().toInt());
    }
    s.addressBook = m_addressBook->currentData().toString();
    for (int row = 0; row < m_subscriptions->rowCount(); ++row) {
        const QTableWidgetItem* item = m_subscriptions->item(row, 0);
        const QString url = item ? item->text().trimmed() : QString();
        const auto* box = static_cast<QComboBox*>(m_subscriptions->cellWidget(row, 1));
        if (!url.isEmpty())
            s.subscriptions.append({url, box->currentData().toInt()});
    }
    return s;
}

void SyncDialog::accept()
{
    const SyncSettings s = settings();
    if (!s.url.isEmpty()) {
        if (const QString problem = syncAddressProblem(s.url); !problem.isEmpty()) {
            showMessage(problem);
            return;
        }
        if (s.user.isEmpty()) {
            showMessage(u"Bitte den Benutzernamen eintragen."_s);
            return;
        }
    }
    for (const Subscription& sub : s.subscriptions) {
        if (const QString problem = subscriptionAddressProblem(sub.url); !problem.isEmpty()) {
            showMessage(problem);
            return;
        }
    }
    if (!s.write(m_path)) {
        showMessage(u"Die Einstellungen konnten nicht in „%1“ geschrieben werden."_s.arg(m_path));
        return;
    }
    if (s.hasAccount() && !m_password->text().isEmpty())
        m_passwords.store(s.passwordKey(), m_password->text());
    QDialog::accept();
}
