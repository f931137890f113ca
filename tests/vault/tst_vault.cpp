#include "Workspace.h"

#include "data/Database.h"
#include "data/MembershipStore.h"
#include "data/TrashStore.h"
#include "vault/SealedMemberships.h"
#include "vault/Vault.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Three memberships, each one's values joined by '|'.
const QStringList kMemberships = {
    u"E-Devlet|12345678901|Kedi'm2024!|ben@ornek.com|turkiye.gov.tr|Her yıl"_s,
    u"Banka|müşteri42|Şifrem_Güçlü9ğ|||satır 1\r\nsatır 2"_s,
    u"Forum|ben|Pa\"ss\\wo;rd,1|forum@ornek.com|forum.org|"_s,
};

void addMemberships(db::Connection &c)
{
    for (const QString &membership : kMemberships) {
        const QStringList v = membership.split(u'|');
        MembershipStore(c).add({-1, v[0], v[1], v[2], v[3], v[4], v[5]});
    }
}

// The stored memberships opened with `key`, as kMemberships gives them; one that does not open is empty.
QStringList opened(const vault::Key &key)
{
    QStringList out;
    db::Connection c;
    for (qint32 rowId = 1; rowId <= 3; ++rowId)
        if (const std::optional<Membership> stored = MembershipStore(c).find(rowId)) {
            const Membership m = vault::opened(key, *stored).value_or(Membership{});
            out << QStringList{m.place, m.userName, m.password, m.mail, m.web, m.notes}.join(u'|');
        }
    return out;
}

} // namespace

class TestVault : public QObject
{
    Q_OBJECT

    // Derived once: each derivation costs the same whatever the case.
    std::optional<vault::Key> m_key;
    vault::KeyParameters m_parameters;

private slots:
    void initTestCase()
    {
        QVERIFY(vault::available());
        m_parameters = vault::KeyParameters::cheapest();
        m_key = vault::Key::derive(u"Şifrem_Güçlü9ğ"_s, m_parameters);
        QVERIFY(m_key);
    }

    void valuesComeBackExactly_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::newRow("empty") << QString();
        QTest::newRow("letters of every kind") << u"Şifrem_Güçlü9ğ İıÖö Pa\"ss\\wo;rd,1\r\nsatır 2 🚗"_s;
        QTest::newRow("long note") << QString(20000, u'ş');
        QTest::newRow("looks sealed") << u"nrv1:AAAA"_s;
    }
    void valuesComeBackExactly()
    {
        QFETCH(QString, plain);
        const QString sealed = m_key->seal(plain, "Parola");
        QVERIFY(vault::isSealed(sealed) && !sealed.contains(plain.isEmpty() ? u"\x01"_s : plain));
        QCOMPARE(m_key->open(sealed, "Parola"), std::optional<QString>(plain));
        QVERIFY(m_key->seal(plain, "Parola") != sealed); // a fresh nonce each time
    }

    // Every way a sealed value can fail to open: nothing comes back, never garbage.
    void whatDoesNotOpenGivesNothing_data()
    {
        QTest::addColumn<QString>("sealed");
        const auto sealedBy = [](const QString &password, const vault::KeyParameters &parameters) {
            return vault::Key::derive(password, parameters)->seal(u"gizli"_s, "Parola");
        };
        QTest::newRow("another salt") << sealedBy(u"Şifrem_Güçlü9ğ"_s, vault::KeyParameters::cheapest());
        QTest::newRow("wrong password") << sealedBy(u"Şifrem_Güçlü9g"_s, m_parameters);
        QString changed = m_key->seal(u"gizli"_s, "Parola");
        changed[10] = changed.at(10) == u'A' ? u'B' : u'A';
        QTest::newRow("a changed byte") << changed;
        QTest::newRow("another column") << m_key->seal(u"gizli"_s, "Notlar");
        QTest::newRow("cut short") << m_key->seal(u"gizli"_s, "Parola").left(20);
        QTest::newRow("not base64") << u"nrv1:*#?"_s;
        QTest::newRow("plain text") << u"gizli"_s;
    }
    void whatDoesNotOpenGivesNothing()
    {
        QFETCH(QString, sealed);
        QCOMPARE(m_key->open(sealed, "Parola"), std::nullopt);
    }

    // Stored parameters come back from their text; anything doubtful is refused.
    void parametersComeBackOrAreRefused()
    {
        QCOMPARE(vault::KeyParameters::fromText(m_parameters.toText())->toText(), m_parameters.toText());
        const QString salt = QString::fromLatin1(QByteArray(16, 'x').toBase64());
        for (const QString &text :
             {QString(), u"scrypt;2;67108864;"_s + salt, u"argon2id;2;67108864;eHh4"_s,
              u"argon2id;0;67108864;"_s + salt, u"argon2id;2;10;"_s + salt, u"argon2id;iki;67108864;"_s + salt})
            QVERIFY2(!vault::KeyParameters::fromText(text), qPrintable(text));
    }

    // Setting, changing and removing the master password, each over the memberships and the
    // trash: after sealing no plain value is left anywhere in the file or its log (on a server, in
    // the tables).
    void memberships()
    {
        Workspace ws;
        {
            db::Connection c;
            addMemberships(c);
            MembershipStore(c).remove(3); // waits in the trash
        }
        const auto plainLeft = [] { // in the file or its write-ahead log
            const QByteArray bytes =
                onServer() ? rawRows(u"SELECT * FROM Parolalar; SELECT * FROM Trash"_s).join(u'|').toUtf8()
                           : readFile(u"Norva.db"_s) + readFile(u"Norva.db-wal"_s);
            int left = 0;
            for (const char *secret :
                 {"Kedi'm2024!", "Şifrem_Güçlü9ğ", "müşteri42", "forum@ornek.com", "satır 2", "12345678901"})
                left += bytes.contains(secret);
            return left;
        };
        QCOMPARE(plainLeft(), 6);
        std::optional<vault::Key> key;
        {
            db::Connection c;
            key.emplace(vault::setMasterPassword(c, u"ana parola"_s, m_parameters));
        }
        QCOMPARE(plainLeft(), 0);
        db::Connection c;
        const vault::MasterPassword stored = *vault::storedMasterPassword(c);
        QVERIFY(!vault::unlock(stored, u"Ana parola"_s) && vault::unlock(stored, u"ana parola"_s));
        QCOMPARE(opened(*key), kMemberships.mid(0, 2));
        QVERIFY_THROWS_EXCEPTION(vault::Error, vault::setMasterPassword(c, u"ikinci"_s, m_parameters));
        // The sealed record in the trash comes back sealed, and opens.
        QCOMPARE(TrashStore(c).list().size(), size_t(1));
        QVERIFY(TrashStore(c).restore(TrashStore(c).list().front().rowId));
        QCOMPARE(opened(*key), kMemberships);
        QCOMPARE(plainLeft(), 0);
        key.emplace(vault::changeMasterPassword(c, *key, u"yeni parola"_s, m_parameters));
        QCOMPARE(opened(*key), kMemberships);
        vault::removeMasterPassword(c, *key);
        QVERIFY(!vault::storedMasterPassword(c));
        QCOMPARE(rawRows(u"SELECT Parola FROM Parolalar ORDER BY RowId"_s).join(u'|'),
                 u"Kedi'm2024!|Şifrem_Güçlü9ğ|Pa\"ss\\wo;rd,1"_s);
    }

    // A failure part-way leaves every value as it was: a value that will not open, or the
    // engine refusing a write.
    void aFailurePartWayChangesNothing_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("set, a write refused") << u"set"_s;
        QTest::newRow("change, a damaged value") << u"change"_s;
        QTest::newRow("remove, a damaged value") << u"remove"_s;
    }
    void aFailurePartWayChangesNothing()
    {
        QFETCH(QString, step);
        Workspace ws;
        db::Connection c;
        addMemberships(c);
        MembershipStore store(c);
        std::optional<vault::Key> key;
        if (step == "set"_L1) {
            rawExec(refusal(u"Refuse"_s, u"Parolalar"_s, u"UPDATE"_s, u"yazılamadı"_s, u"OLD.RowId = 3"_s));
        } else {
            key.emplace(vault::setMasterPassword(c, u"ana parola"_s, m_parameters));
            Membership damaged = *store.find(2); // one byte of the second membership's password changed
            damaged.password[20] = damaged.password.at(20) == u'A' ? u'B' : u'A';
            store.update(damaged);
        }
        const QString everything = u"SELECT * FROM Parolalar ORDER BY RowId; SELECT * FROM MasterPassword"_s;
        const QStringList before = rawRows(everything);
        try {
            if (step == "set"_L1)
                vault::setMasterPassword(c, u"ana parola"_s, m_parameters);
            else if (step == "change"_L1)
                vault::changeMasterPassword(c, *key, u"yeni"_s, m_parameters);
            else
                vault::removeMasterPassword(c, *key);
            QFAIL("no failure");
        } catch (const vault::Error &error) {
            QCOMPARE(error.message, u"\"Banka\" üyeliğinin şifreli bilgileri açılamadı; kayıt bozulmuş olabilir. "
                                    u"Hiçbir şey değiştirilmedi."_s);
        } catch (const db::Error &error) {
            QVERIFY(error.description.contains(u"yazılamadı"_s));
        }
        QCOMPARE(rawRows(everything), before);
        if (key) // the others still open; the damaged one alone does not
            QVERIFY(!vault::opened(*key, *store.find(2)) && vault::opened(*key, *store.find(1)));
    }
};

QTEST_GUILESS_MAIN(TestVault)
#include "tst_vault.moc"
