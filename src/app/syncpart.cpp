#include "app/syncpart.h"

#include "common/datevalue.h"
#include "common/prompter.h"
#include "core/context.h"
#include "interchange/interchangefile.h"
#include "settings/settingspage.h"
#include "store/database.h"
#include "sync/backgroundsync.h"
#include "sync/passwordstore.h"
#include "sync/subscription.h"
#include "sync/syncdialog.h"
#include "sync/syncrun.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

SyncPart::SyncPart(Context& ctx, SettingsPage& page, std::unique_ptr<SecretStore> store,
                   QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_page(page)
    , m_passwords(new PasswordStore(store ? std::move(store) : makeKeychainStore(), this))
    , m_background(new BackgroundSync([&ctx] { return ctx.db.get(); }, this))
{
    m_passwords->setAsker([this](const QString&) -> std::optional<QString> {
        bool ok = false;
        const QString password = QInputDialog::getText(
                m_page.window(), u"Synchronisation"_s,
                u"Passwort für %1 auf %2\n(im Schlüsselbund des Desktops nicht zu finden; ohne "
                u"Schlüsselbund bleibt es nur bis zum Programmende im Speicher):"_s.arg(
                        m_settings.user, QUrl(m_settings.url).host()),
                QLineEdit::Password, {}, &ok);
        if (!ok)
            return std::nullopt;
        return password;
    });
    connect(m_page.syncButton(), &QPushButton::clicked, this, &SyncPart::openDialog);
    connect(m_background, &BackgroundSync::runStarted, this,
            [this] { showStatus(u"Synchronisiere …"_s); });
    connect(m_background, &BackgroundSync::runFinished, this, &SyncPart::runFinished);
    connect(m_background, &BackgroundSync::dataChanged, this, &SyncPart::dataChanged);
}

SyncPart::~SyncPart() = default;

void SyncPart::start()
{
    m_started = true;
    configure();
}

void SyncPart::stop()
{
    m_started = false;
    m_background->stop();
}

void SyncPart::configure()
{
    m_settings = SyncSettings::read(m_ctx.filePath(SyncSettings::fileName()));
    m_background->setOptions(std::nullopt);
    const SyncSettings settings = m_settings;
    if (!settings.hasAccount()) {
        if (settings.subscriptions.isEmpty()) {
            showStatus(u"Keine Synchronisation eingerichtet."_s);
            return;
        }
        // Subscriptions alone need neither an account nor a password.
        setRunOptions(settings, {});
        return;
    }
    m_passwords->fetch(settings.passwordKey(), [this, settings](std::optional<QString> password) {
        // A newer account may have been set meanwhile.
        if (settings != m_settings)
            return;
        if (!password) {
            showStatus(u"Ohne Passwort wird nicht synchronisiert; es lässt sich unter "
                       u"„Synchronisation…“ eintragen."_s);
            return;
        }
        setRunOptions(settings, *password);
    });
}

void SyncPart::setRunOptions(const SyncSettings& settings, const QString& password)
{
    SyncRunOptions options;
    if (settings.hasAccount())
        options.account = {settings.url, settings.user, password};
    options.calendarGroups = settings.calendarGroups;
    options.addressBook = settings.addressBook;
    options.subscriptions = settings.subscriptions;
    options.importYear = dateParts(m_ctx.clock.now()).year;
    m_background->setOptions(options);
    if (m_background->isRunning())
        m_background->runNow(); // follows the run that goes with the old account
    else if (m_started)
        m_background->start();
}

void SyncPart::openDialog()
{
    const std::optional<QList<ImportGroup>> groups = importGroups(*m_ctx.db);
    const QString path = m_ctx.filePath(SyncSettings::fileName());
    const SyncSettings before = SyncSettings::read(path);
    SyncDialog dialog(before, path, *m_passwords, groups.value_or(QList<ImportGroup>()),
                      m_page.window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A subscription removed, or moved to another group, loses its rows; a moved one is fetched
    // anew into its new group by the run that follows.
    const QList<Subscription> after = dialog.settings().subscriptions;
    bool dropped = false;
    for (const Subscription& old : before.subscriptions) {
        if (after.contains(old))
            continue;
        if (dropSubscription(*m_ctx.db, old.url))
            dropped = true;
        else
            m_ctx.prompter.warn(u"Synchronisation"_s,
                                u"Die Termine des Abonnements „%1“ konnten nicht entfernt "
                                "werden: %2"_s.arg(old.url, m_ctx.db->errorText()));
    }
    configure();
    if (dropped)
        emit dataChanged();
}

void SyncPart::showStatus(const QString& text, const QString& details)
{
    QLabel* label = m_page.syncStatus();
    label->setToolTip(details.isEmpty() ? text : details);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->width()));
}

void SyncPart::runFinished(const SyncRunResult& result)
{
    const QString when = formatDate(u"%dd.%mm.%yyyy %hh:%ii", m_ctx.clock.now());
    if (!result.error.isEmpty()) {
        showStatus(u"Fehler (%1): %2"_s.arg(when, result.error),
                   u"Synchronisation am %1 fehlgeschlagen: %2"_s.arg(when, result.error));
        return;
    }
    // The line has room for the counts; the whole summary is its tool tip.
    int received = 0;
    int sent = 0;
    qsizetype conflicts = 0;
    for (const std::optional<SyncSummary>& s : {result.calendars, result.addresses}) {
        if (s) {
            received += s->received + s->removedHere;
            sent += s->sent + s->removedThere;
            conflicts += s->conflicts.size();
        }
    }
    const QString shortWhen = formatDate(u"%dd.%mm. %hh:%ii", m_ctx.clock.now());
    const int feeds = result.subscriptionsRefreshed;
    const QString feedText =
            feeds == 1 ? u"1 Abonnement neu"_s : u"%1 Abonnements neu"_s.arg(feeds);
    QString line;
    if (!result.calendars) {
        // Subscriptions only, without an account.
        line = u"Abonnements geprüft %1: %2 neu"_s.arg(shortWhen, QString::number(feeds));
    } else {
        line = u"Synchronisiert %1: %2 empfangen, %3 gesendet"_s.arg(
                shortWhen, QString::number(received), QString::number(sent));
        if (conflicts > 0)
            line += u", %1 Konflikte"_s.arg(QString::number(conflicts));
        if (feeds > 0)
            line += u", "_s + feedText;
    }
    showStatus(line, u"Zuletzt synchronisiert am %1: %2"_s.arg(when, result.statusText()));
}
