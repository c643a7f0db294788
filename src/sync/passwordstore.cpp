#include "sync/passwordstore.h"

#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace {
const QString kService = u"Ruvo-Synchronisation"_s;

class KeychainStore : public SecretStore
{
public:
    void read(const QString& key,
              std::function<void(std::optional<QString>, const QString&)> done) override
    {
        auto* job = new QKeychain::ReadPasswordJob(kService);
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        job->setKey(key);
        QObject::connect(job, &QKeychain::Job::finished, job, [done](QKeychain::Job* j) {
            if (j->error() == QKeychain::NoError)
                done(static_cast<QKeychain::ReadPasswordJob*>(j)->textData(), {});
            else
                done(std::nullopt, j->errorString());
        });
        job->start();
    }

    void write(const QString& key, const QString& password,
               std::function<void(bool, const QString&)> done) override
    {
        auto* job = new QKeychain::WritePasswordJob(kService);
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        job->setKey(key);
        job->setTextData(password);
        QObject::connect(job, &QKeychain::Job::finished, job, [done](QKeychain::Job* j) {
            done(j->error() == QKeychain::NoError, j->errorString());
        });
        job->start();
    }
};
} // namespace

std::unique_ptr<SecretStore> makeKeychainStore()
{
    return std::make_unique<KeychainStore>();
}

PasswordStore::PasswordStore(std::unique_ptr<SecretStore> store, QObject* parent)
    : QObject(parent)
    , m_store(std::move(store))
{}

PasswordStore::~PasswordStore()
{
    *m_alive = false;
}

std::optional<QString> PasswordStore::known(const QString& key) const
{
    const auto it = m_memory.constFind(key);
    if (it == m_memory.cend())
        return std::nullopt;
    return *it;
}

void PasswordStore::fetch(const QString& key, std::function<void(std::optional<QString>)> done)
{
    if (const std::optional<QString> password = known(key)) {
        done(password);
        return;
    }
    m_store->read(key, [this, alive = m_alive, key,
                        done = std::move(done)](std::optional<QString> password, const QString&) {
        if (!*alive)
            return;
        if (!password && m_asker && !m_asked.contains(key)) {
            m_asked.insert(key);
            password = m_asker(key);
        }
        if (password) {
            m_memory.insert(key, *password);
            // A store that merely lacked it keeps it from now on; one that is not there fails.
            m_store->write(key, *password, [](bool, const QString&) {});
        }
        done(password);
    });
}

void PasswordStore::store(const QString& key, const QString& password,
                          std::function<void(bool)> done)
{
    m_memory.insert(key, password);
    m_store->write(key, password,
                   [alive = m_alive, done = std::move(done)](bool kept, const QString&) {
                       if (*alive && done)
                           done(kept);
                   });
}
