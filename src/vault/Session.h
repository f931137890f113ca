#pragma once

#include "vault/Vault.h"

#include <QObject>
#include <QTimer>

#include <optional>

// The master password's key while the user works with the memberships: kept
// once per run, and forgotten (wiped) after five minutes without use, when
// the user locks, and when the program ends.
namespace vault {

class Session : public QObject
{
    Q_OBJECT
public:
    static Session &current();

    // The key, and the idle time starts again; nullptr while locked.
    const Key *key();
    void keep(Key key);
    void lock();
    // Whether a key is kept; unlike key(), asking does not count as use.
    bool isUnlocked() const { return m_key.has_value(); }

    static constexpr int kIdleLimitMs = 5 * 60 * 1000;

signals:
    void locked();
    void unlocked();

private:
    Session();

    std::optional<Key> m_key;
    QTimer m_idle;
};

} // namespace vault
