#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The desktop's secret store, behind an interface so that a test can put another in its place.
// Both calls answer later, through the callback.
class SecretStore
{
public:
    virtual ~SecretStore() = default;
    // The password, or nothing and the reason.
    virtual void read(const QString& key,
                      std::function<void(std::optional<QString>, const QString&)> done) = 0;
    // True when it is kept, else false and the reason.
    virtual void write(const QString& key, const QString& password,
                       std::function<void(bool, const QString&)> done) = 0;
};

// The secret service of the desktop through QtKeychain; never a file of its own in clear.
std::unique_ptr<SecretStore> makeKeychainStore();

// Where the sync password lives: in the secret store, else for this start in memory only. Without
// a secret store the user is asked once per start.
class PasswordStore : public QObject
{
    Q_OBJECT
public:
    using Asker = std::function<std::optional<QString>(const QString& key)>;

    explicit PasswordStore(std::unique_ptr<SecretStore> store, QObject* parent = nullptr);
    ~PasswordStore() override;

    // Asks the user for the password; nothing when cancelled.
    void setAsker(Asker asker) { m_asker = std::move(asker); }

    // What this start already knows, without asking anyone.
    std::optional<QString> known(const QString& key) const;
    // From memory, else from the secret store, else from the user (once per start, and then
    // offered to the secret store); nothing when all of them failed.
    void fetch(const QString& key, std::function<void(std::optional<QString>)> done);
    // Into the secret store, and in memory in any case; done tells whether the secret store took
    // it (when not, it is asked for again at the next start).
    void store(const QString& key, const QString& password,
               std::function<void(bool)> done = nullptr);

private:
    std::unique_ptr<SecretStore> m_store;
    Asker m_asker;
    QHash<QString, QString> m_memory;
    // A question the user cancelled is not put again before the next start.
    QSet<QString> m_asked;
    // Callbacks of the store must not reach an object that is gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
