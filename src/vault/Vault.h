#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Sealing stored values behind a master password: the key is derived from the
// password with Argon2id, and each value is sealed on its own with
// XChaCha20-Poly1305 and a fresh nonce. A sealed value is text, "nrv1:" and
// base64, so it fits any text column.
namespace vault {

// Whether the crypto library could be started; nothing here works otherwise.
bool available();

// How a key is derived from the master password: the salt and the cost. Kept
// beside the sealed values, as one line of text.
struct KeyParameters
{
    QByteArray salt; // 16 bytes
    quint64 opsLimit = 0;
    quint64 memLimit = 0; // bytes

    // A new salt and the cost the program uses for new master passwords.
    static KeyParameters fresh();
    // The cheapest the library allows: for tests only.
    static KeyParameters cheapest();
    // Makes fresh() give the cheapest cost: for tests of the dialogs only.
    static void useCheapestForTests();

    QString toText() const; // "argon2id;<ops>;<mem>;<salt in base64>"
    static std::optional<KeyParameters> fromText(const QString &text);
};

// A key in locked memory, wiped when it goes.
class Key
{
public:
    // Derives the key from the password; nothing when the memory it needs cannot be had.
    static std::optional<Key> derive(const QString &password, const KeyParameters &parameters);

    Key(Key &&other) noexcept;
    Key &operator=(Key &&other) noexcept;
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;
    ~Key();

    // Seals a value. `context` (a column's name, say) is bound to it: the sealed text
    // opens only with the same context, so it cannot be moved to another column.
    QString seal(const QString &plain, QByteArrayView context = {}) const;
    // Opens a sealed value; nothing when it is not one, was changed, or needs another key or context.
    std::optional<QString> open(const QString &sealed, QByteArrayView context = {}) const;

    // A value sealed under this key that tells later whether a password gives the same key.
    QString makeCheck() const;
    bool matchesCheck(const QString &check) const;

private:
    Key();
    unsigned char *m_bytes = nullptr;
};

// Whether a stored text is a sealed value (it may still fail to open).
bool isSealed(const QString &text);

} // namespace vault
