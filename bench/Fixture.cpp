#include "Fixture.h"

#include "core/Server.h"
#include "data/Database.h"

#include <QCoreApplication>

#include <QDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

void exec(sqlite3 *handle, const char *statement)
{
    if (sqlite3_exec(handle, statement, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(handle));
}

// Bulk rows through one prepared statement in one transaction: the fixture is
// set-up, not what is measured.
template <typename Bind>
void insertMany(const char *statement, int count, Bind bind)
{
    sqlite3 *handle = nullptr;
    sqlite3_open("Norva.db", &handle);
    exec(handle, "BEGIN");
    sqlite3_stmt *prepared = nullptr;
    sqlite3_prepare_v2(handle, statement, -1, &prepared, nullptr);
    for (int i = 0; i < count; ++i) {
        bind(prepared, i);
        if (sqlite3_step(prepared) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(handle));
        sqlite3_reset(prepared);
    }
    sqlite3_finalize(prepared);
    exec(handle, "COMMIT");
    sqlite3_close(handle);
}

void bindText(sqlite3_stmt *prepared, int column, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(prepared, column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

void rawSqliteWalk(const char *statement)
{
    sqlite3 *handle = nullptr;
    sqlite3_open_v2("Norva.db", &handle, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt *prepared = nullptr;
    sqlite3_prepare_v2(handle, statement, -1, &prepared, nullptr);
    while (sqlite3_step(prepared) == SQLITE_ROW) {
        const unsigned char *text = sqlite3_column_text(prepared, 0);
        int rowId = sqlite3_column_int(prepared, 1);
        benchmark::DoNotOptimize(text);
        benchmark::DoNotOptimize(rowId);
    }
    sqlite3_finalize(prepared);
    sqlite3_close(handle);
}

QString companyName(int index)
{
    static const char16_t *const first[] = {u"Çınar",  u"Işık", u"İnci",  u"Öztürk", u"Şahin", u"Ülker", u"Güneş",
                                            u"Yıldız", u"Kaya", u"Demir", u"Aydın",  u"Ege",   u"Doğan", u"Bulut"};
    static const char16_t *const second[] = {u"Ticaret",   u"İnşaat",   u"Gıda",    u"Tekstil",  u"Danışmanlık",
                                             u"Kırtasiye", u"Nakliyat", u"Yazılım", u"Otomotiv", u"Mobilya"};
    const unsigned n = unsigned(index) * 2654435761u;
    return u"%1 %2 %3 Ltd. Şti."_s.arg(QString::fromUtf16(first[n % 14]), QString::fromUtf16(second[(n / 14) % 10]))
        .arg(index);
}

BenchDatabase::BenchDatabase() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    if (!db::ensureSchema())
        throw std::runtime_error("schema");
}

BenchDatabase::~BenchDatabase()
{
    QDir::setCurrent(m_previous);
    if (!m_schema.isEmpty()) {
        db::Database::choose(db::Database::file(db::fileName()));
        db::Connection(db::Database::server(QString())).execute(u"DROP SCHEMA %1 CASCADE"_s.arg(m_schema));
    }
}

bool BenchDatabase::moveToServer()
{
    if (qEnvironmentVariableIsEmpty("PGHOST"))
        return false;
    static int made = 0;
    m_schema = u"norva_bench_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++made);
    db::Connection(db::Database::server(QString())).execute(u"CREATE SCHEMA %1"_s.arg(m_schema));
    const db::Database server = db::Database::server(u"options='-csearch_path=%1'"_s.arg(m_schema));
    // As "Dosyayı Sunucuya Aktar" does it.
    if (!core::Server::copyFile(db::fileName(), server, nullptr).result.isDone())
        throw std::runtime_error("copy to the server");
    // As autovacuum leaves a table loaded in bulk: its statistics read, its pages marked visible.
    db::Connection(server).execute("VACUUM ANALYZE");
    db::Database::choose(server);
    return true;
}

void BenchDatabase::addEntries(int count, int companies, int firstYear, int years)
{
    insertMany("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
               "KdvOrani, IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo) "
               "VALUES (?, ?, ?, ?, ?, ?, 'Lira', '0', '20', 'Satış Geliri', 'İçerik', '', '0')",
               count, [=](sqlite3_stmt *s, int i) {
                   bindText(s, 1, i % 3 ? u"Gelir"_s : u"Gider"_s);
                   bindText(s, 2, QString::number(i % 28 + 1));
                   bindText(s, 3, QString::number(i % 12 + 1));
                   bindText(s, 4, QString::number(firstYear + (i / 12) % years));
                   bindText(s, 5, companyName(i % companies));
                   bindText(s, 6, QString::asprintf("%d.%02d", (i * 37) % 100000, i % 100));
               });
}

void BenchDatabase::addMonth(int count, int month, int year, int companies)
{
    insertMany("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
               "KdvOrani, IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo) "
               "VALUES (?, ?, ?, ?, ?, ?, 'Lira', '0', '20', 'Satış Geliri', ?, 'Ödeme havale ile', ?)",
               count, [=](sqlite3_stmt *s, int i) {
                   bindText(s, 1, i % 3 ? u"Gelir"_s : u"Gider"_s);
                   bindText(s, 2, QString::number(i % 28 + 1));
                   bindText(s, 3, QString::number(month));
                   bindText(s, 4, QString::number(year));
                   bindText(s, 5, companyName(i % companies));
                   bindText(s, 6, QString::asprintf("%d.%02d", (i * 37) % 100000, i % 100));
                   bindText(s, 7, u"Hizmet bedeli, %1. taksit\nKalan ödeme gelecek ay"_s.arg(i % 12 + 1));
                   bindText(s, 8, QString::asprintf("A-%05d", i));
               });
}

void BenchDatabase::addCompanies(int count)
{
    insertMany("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, Mail, CalismaTuru, "
               "WebAdresi) VALUES (?, 'Atatürk Cd. No:1 Şişli', 'Şişli', '1234567890', '0212 555 00 00', "
               "'info@ornek.com.tr', ?, 'www.ornek.com.tr')",
               count, [](sqlite3_stmt *s, int i) {
                   bindText(s, 1, companyName(i));
                   static const char16_t *const relations[] = {u"Müşteri", u"Tedarikçi", u"Tedarikçi & Müşteri"};
                   bindText(s, 2, QString::fromUtf16(relations[i % 3]));
               });
}
