#pragma once

#include "interchange/interchangefile.h"
#include "sync/discovery.h"
#include "sync/syncsettings.h"

#include <QDialog>

class PasswordStore;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class SyncWorker;

// "Synchronisation…": the account, which group each calendar of the server feeds, the address
// book and the subscriptions. OK writes them to the settings file and the password to the store.
class SyncDialog : public QDialog
{
    Q_OBJECT
public:
    SyncDialog(const SyncSettings& settings, const QString& settingsPath, PasswordStore& passwords,
               const QList<ImportGroup>& groups, QWidget* parent = nullptr);
    ~SyncDialog() override;

    // What the dialog shows now, as OK would store it.
    SyncSettings settings() const;
    bool isConnecting() const;

    void accept() override;

private:
    void connectToServer();
    void showCollections(const DiscoveryResult& found);
    void addCalendarRow(const QString& url, const QString& name, int group);
    void addSubscriptionRow(const Subscription& subscription);
    QComboBox* groupChoice(int group) const;
    // The group a calendar of this name joins unless the user chooses.
    int defaultGroup(const QString& calendarName) const;
    void showMessage(const QString& text);

    SyncSettings m_initial;
    QString m_path;
    PasswordStore& m_passwords;
    QList<ImportGroup> m_groups;
    SyncWorker* m_worker;
    QLineEdit* m_url;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_connect;
    QTableWidget* m_calendars;
    QComboBox* m_addressBook;
    QTableWidget* m_subscriptions;
    QLabel* m_message;
};
