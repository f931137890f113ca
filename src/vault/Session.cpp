#include "vault/Session.h"

namespace vault {

Session::Session()
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleLimitMs);
    connect(&m_idle, &QTimer::timeout, this, &Session::lock);
}

Session &Session::current()
{
    static Session session;
    return session;
}

const Key *Session::key()
{
    if (!m_key)
        return nullptr;
    m_idle.start();
    return &*m_key;
}

void Session::keep(Key key)
{
    m_key = std::move(key);
    m_idle.start();
    emit unlocked();
}

void Session::lock()
{
    m_idle.stop();
    if (!m_key)
        return;
    m_key.reset(); // wiped as it goes
    emit locked();
}

} // namespace vault
