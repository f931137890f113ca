#include "vault/Vault.h"

#include <QStringList>

#include <sodium.h>

using namespace Qt::StringLiterals;

namespace vault {

namespace {

const QString kPrefix = u"nrv1:"_s;
constexpr char kCheckText[] = "Norva Rezado ana parola denetimi";
constexpr char kCheckContext[] = "check";
constexpr size_t kKeyBytes = crypto_aead_xchacha20poly1305_ietf_KEYBYTES;
constexpr size_t kNonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr size_t kTagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;

} // namespace

bool available()
{
    static const bool started = sodium_init() >= 0;
    return started;
}

namespace {
bool cheapestForTests = false;
} // namespace

void KeyParameters::useCheapestForTests()
{
    cheapestForTests = true;
}

KeyParameters KeyParameters::fresh()
{
    available();
    KeyParameters parameters;
    parameters.salt.resize(crypto_pwhash_SALTBYTES);
    randombytes_buf(parameters.salt.data(), size_t(parameters.salt.size()));
    // Moderate: about half a second on a two-core office machine, 256 MiB of memory.
    parameters.opsLimit = cheapestForTests ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    parameters.memLimit = cheapestForTests ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_MODERATE;
    return parameters;
}

KeyParameters KeyParameters::cheapest()
{
    KeyParameters parameters = fresh();
    parameters.opsLimit = crypto_pwhash_OPSLIMIT_MIN;
    parameters.memLimit = crypto_pwhash_MEMLIMIT_MIN;
    return parameters;
}

QString KeyParameters::toText() const
{
    return u"argon2id;%1;%2;%3"_s.arg(opsLimit).arg(memLimit).arg(QString::fromLatin1(salt.toBase64()));
}

std::optional<KeyParameters> KeyParameters::fromText(const QString &text)
{
    const QStringList parts = text.split(u';');
    if (parts.size() != 4 || parts.at(0) != "argon2id"_L1)
        return std::nullopt;
    KeyParameters parameters;
    bool opsOk = false;
    bool memOk = false;
    parameters.opsLimit = parts.at(1).toULongLong(&opsOk);
    parameters.memLimit = parts.at(2).toULongLong(&memOk);
    const auto salt = QByteArray::fromBase64Encoding(parts.at(3).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!opsOk || !memOk || !salt || salt.decoded.size() != crypto_pwhash_SALTBYTES ||
        parameters.opsLimit < crypto_pwhash_OPSLIMIT_MIN || parameters.opsLimit > crypto_pwhash_OPSLIMIT_MAX ||
        parameters.memLimit < crypto_pwhash_MEMLIMIT_MIN || parameters.memLimit > crypto_pwhash_MEMLIMIT_MAX)
        return std::nullopt;
    parameters.salt = salt.decoded;
    return parameters;
}

Key::Key() : m_bytes(static_cast<unsigned char *>(sodium_malloc(kKeyBytes)))
{}

Key::Key(Key &&other) noexcept : m_bytes(other.m_bytes)
{
    other.m_bytes = nullptr;
}

Key &Key::operator=(Key &&other) noexcept
{
    if (this != &other) {
        sodium_free(m_bytes);
        m_bytes = other.m_bytes;
        other.m_bytes = nullptr;
    }
    return *this;
}

Key::~Key()
{
    sodium_free(m_bytes); // wipes it first
}

std::optional<Key> Key::derive(const QString &password, const KeyParameters &parameters)
{
    if (!available() || parameters.salt.size() != crypto_pwhash_SALTBYTES)
        return std::nullopt;
    Key key;
    if (!key.m_bytes)
        return std::nullopt;
    // The password's bytes are wiped as soon as the key is made.
    QByteArray utf8 = password.toUtf8();
    const int rc = crypto_pwhash(key.m_bytes, kKeyBytes, utf8.constData(), quint64(utf8.size()),
                                 reinterpret_cast<const unsigned char *>(parameters.salt.constData()),
                                 parameters.opsLimit, size_t(parameters.memLimit), crypto_pwhash_ALG_ARGON2ID13);
    sodium_memzero(utf8.data(), size_t(utf8.size()));
    if (rc != 0)
        return std::nullopt;
    return key;
}

QString Key::seal(const QString &plain, QByteArrayView context) const
{
    QByteArray utf8 = plain.toUtf8();
    QByteArray sealed(qsizetype(kNonceBytes) + utf8.size() + qsizetype(kTagBytes), Qt::Uninitialized);
    auto *nonce = reinterpret_cast<unsigned char *>(sealed.data());
    randombytes_buf(nonce, kNonceBytes);
    unsigned long long length = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        nonce + kNonceBytes, &length, reinterpret_cast<const unsigned char *>(utf8.constData()), quint64(utf8.size()),
        reinterpret_cast<const unsigned char *>(context.data()), quint64(context.size()), nullptr, nonce, m_bytes);
    sodium_memzero(utf8.data(), size_t(utf8.size()));
    return kPrefix + QString::fromLatin1(sealed.toBase64());
}

std::optional<QString> Key::open(const QString &sealed, QByteArrayView context) const
{
    if (!isSealed(sealed))
        return std::nullopt;
    const auto bytes = QByteArray::fromBase64Encoding(QStringView(sealed).sliced(kPrefix.size()).toLatin1(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
    if (!bytes || bytes.decoded.size() < qsizetype(kNonceBytes + kTagBytes))
        return std::nullopt;
    const auto *nonce = reinterpret_cast<const unsigned char *>(bytes.decoded.constData());
    QByteArray plain(bytes.decoded.size() - qsizetype(kNonceBytes + kTagBytes), Qt::Uninitialized);
    unsigned long long length = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(reinterpret_cast<unsigned char *>(plain.data()), &length, nullptr,
                                                   nonce + kNonceBytes, quint64(bytes.decoded.size()) - kNonceBytes,
                                                   reinterpret_cast<const unsigned char *>(context.data()),
                                                   quint64(context.size()), nonce, m_bytes) != 0)
        return std::nullopt;
    const QString text = QString::fromUtf8(plain.constData(), qsizetype(length));
    sodium_memzero(plain.data(), size_t(plain.size()));
    return text;
}

QString Key::makeCheck() const
{
    return seal(QString::fromLatin1(kCheckText), kCheckContext);
}

bool Key::matchesCheck(const QString &check) const
{
    return open(check, kCheckContext) == QString::fromLatin1(kCheckText);
}

bool isSealed(const QString &text)
{
    return text.startsWith(kPrefix);
}

} // namespace vault
