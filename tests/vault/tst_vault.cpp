#include "vault/Vault.h"

#include <QtTest>

using namespace Qt::StringLiterals;

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
        QTest::newRow("Turkish letters") << u"Şifrem_Güçlü9ğ İıÖö"_s;
        QTest::newRow("quotes and separators") << u"Pa\"ss\\wo;rd,1 Kedi'm2024!"_s;
        QTest::newRow("line breaks and emoji") << u"satır 1\r\nsatır 2 🚗"_s;
        QTest::newRow("long note") << QString(20000, u'ş');
        QTest::newRow("looks sealed") << u"nrv1:AAAA"_s;
    }
    void valuesComeBackExactly()
    {
        QFETCH(QString, plain);
        const QString sealed = m_key->seal(plain, "Parola");
        QVERIFY(vault::isSealed(sealed));
        QVERIFY(!sealed.contains(plain.isEmpty() ? u"\x01"_s : plain));
        QCOMPARE(m_key->open(sealed, "Parola"), std::optional<QString>(plain));
        // A fresh nonce each time: the same value never seals to the same text.
        QVERIFY(m_key->seal(plain, "Parola") != sealed);
    }

    // Every way a sealed value can fail to open: nothing comes back, never garbage.
    void whatDoesNotOpenGivesNothing_data()
    {
        QTest::addColumn<QString>("sealed");
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QString>("password");
        const QString good = vault::Key::derive(u"Şifrem_Güçlü9ğ"_s, vault::KeyParameters::cheapest())
                                 ->seal(u"gizli"_s, "Parola"); // another salt: another key
        QTest::newRow("another key") << good << QByteArray("Parola") << QString();
        QString changed = m_key->seal(u"gizli"_s, "Parola");
        changed[10] = changed.at(10) == u'A' ? u'B' : u'A';
        QTest::newRow("a changed byte") << changed << QByteArray("Parola") << QString();
        QTest::newRow("another column") << m_key->seal(u"gizli"_s, "Parola") << QByteArray("Notlar") << QString();
        QTest::newRow("cut short") << m_key->seal(u"gizli"_s, "Parola").left(20) << QByteArray("Parola") << QString();
        QTest::newRow("not base64") << u"nrv1:*#?"_s << QByteArray("Parola") << QString();
        QTest::newRow("plain text") << u"gizli"_s << QByteArray("Parola") << QString();
        QTest::newRow("wrong password") << m_key->seal(u"gizli"_s, "Parola") << QByteArray("Parola")
                                        << u"Şifrem_Güçlü9g"_s;
    }
    void whatDoesNotOpenGivesNothing()
    {
        QFETCH(QString, sealed);
        QFETCH(QByteArray, context);
        QFETCH(QString, password);
        if (password.isEmpty()) {
            QCOMPARE(m_key->open(sealed, context), std::nullopt);
            return;
        }
        const std::optional<vault::Key> other = vault::Key::derive(password, m_parameters);
        QVERIFY(other);
        QCOMPARE(other->open(sealed, context), std::nullopt);
    }

    // The check value tells a wrong password from a right one, and survives a round trip
    // of the parameters through their text.
    void theCheckTellsTheRightPassword()
    {
        const QString check = m_key->makeCheck();
        const auto parameters = vault::KeyParameters::fromText(m_parameters.toText());
        QVERIFY(parameters);
        QVERIFY(vault::Key::derive(u"Şifrem_Güçlü9ğ"_s, *parameters)->matchesCheck(check));
        QVERIFY(!vault::Key::derive(u"şifrem_Güçlü9ğ"_s, *parameters)->matchesCheck(check));
        QVERIFY(!m_key->matchesCheck(m_key->seal(u"Norva Rezado ana parola denetimi"_s, "Parola")));
    }

    void badParametersAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        const QString salt = QString::fromLatin1(QByteArray(16, 'x').toBase64());
        QTest::newRow("empty") << QString();
        QTest::newRow("another method") << u"scrypt;2;67108864;"_s + salt;
        QTest::newRow("short salt") << u"argon2id;2;67108864;eHh4"_s;
        QTest::newRow("no cost") << u"argon2id;0;67108864;"_s + salt;
        QTest::newRow("too little memory") << u"argon2id;2;10;"_s + salt;
        QTest::newRow("not a number") << u"argon2id;iki;67108864;"_s + salt;
    }
    void badParametersAreRefused()
    {
        QFETCH(QString, text);
        QVERIFY(!vault::KeyParameters::fromText(text));
    }
};

QTEST_GUILESS_MAIN(TestVault)
#include "tst_vault.moc"
