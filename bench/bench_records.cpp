#include "Fixture.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"
#include "vault/SealedMemberships.h"
#include "vault/Session.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Inserts `count` rows in one transaction, the statement's '?'s bound in turn to what
// `values` gives for each row.
void insertMany(const char *statement, int count, const std::function<QList<QByteArray>(int)> &values)
{
    sqlite3 *handle = nullptr;
    sqlite3_open("Norva.db", &handle);
    sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(handle, statement, -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        const QList<QByteArray> row = values(i);
        for (int column = 0; column < row.size(); ++column)
            sqlite3_bind_text(insert, column + 1, row[column].constData(), int(row[column].size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(handle);
}

// `count` contacts with every field filled, names repeating now and then.
void addContacts(int count)
{
    const QStringList &provinces = TelefonRehberi::memleketler();
    insertMany("INSERT INTO Kisiler (AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, "
               "KanGurubu, Akrabalik, Eposta, Web, Hakkinda) VALUES (?, '0532 111 22 33', '0212 444 55 66', "
               "'0212 777 88 99', 'Öğretmen', ?, 'Üniversite', 'AB Rh-', 'HAYIR', 'kisi@ornek.com.tr', "
               "'https://www.ornek.com.tr', 'Kuzenimin iş arkadaşı; doğum günü 12 Mart.')",
               count, [&provinces](int i) {
                   return QList<QByteArray>{companyName(i).section(u' ', 0, 1).toUtf8() + ' ' +
                                                QByteArray::number(i % 997),
                                            provinces[i % provinces.size()].toUtf8()};
               });
}

// Opening "Kişi Rehberi": from the command until the list, the count and the
// first contact's details are on screen.
void BM_KisiListe(benchmark::State &state)
{
    BenchDatabase fixture;
    addContacts(int(state.range(0)));
    const QString expected = u"Toplam %1 kişi mevcut"_s.arg(state.range(0));
    for (auto _ : state) {
        auto dialog = std::make_unique<TelefonRehberi>();
        dialog->show();
        QApplication::processEvents(); // lays out and paints it
        state.PauseTiming();           // checking and closing are not part of opening
        if (dialog->findChild<QLabel *>(u"toplam"_s)->text() != expected ||
            dialog->findChild<QLineEdit *>(u"meslek"_s)->text() != u"Öğretmen"_s ||
            dialog->findChild<QComboBox *>(u"memleket"_s)->currentText() != u"BİLİNMİYOR"_s)
            state.SkipWithError("not shown");
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KisiListe)->Arg(1)->Arg(10000)->Unit(benchmark::kMillisecond);

// The contacts' list straight on the C API: what BM_KisiListe/10000 adds to
// BM_KisiListe/1 is measured against it.
void BM_RawSqliteWalkContacts(benchmark::State &state)
{
    BenchDatabase fixture;
    addContacts(int(state.range(0)));
    for (auto _ : state)
        rawSqliteWalk(sql::kKisiListesi);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RawSqliteWalkContacts)->Arg(10000)->Unit(benchmark::kMillisecond);

// `count` memberships with every field filled.
void addMemberships(int count)
{
    insertMany("INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola, Mail, Web, Notlar) VALUES (?, 'kullanici', "
               "'Şifrem_Güçlü9ğ', 'ben@ornek.com.tr', 'https://www.ornek.com.tr', 'Her yıl yenilenir.')",
               count, [](int i) { return QList<QByteArray>{companyName(i).toUtf8()}; });
}

// Opening "Kayıtlı Parolalar": from the command until the list, the count and the
// first membership's details are on screen; sealed behind an unlocked master password or not.
void openMemberships(benchmark::State &state, bool sealed)
{
    BenchDatabase fixture;
    addMemberships(int(state.range(0)));
    if (sealed) {
        db::Connection c;
        vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s));
    }
    const QString expected = u"Toplam %1 üyelik kaydı mevcut"_s.arg(state.range(0));
    for (auto _ : state) {
        auto dialog = std::make_unique<Parolalar>();
        dialog->show();
        QApplication::processEvents();
        state.PauseTiming();
        if (dialog->findChild<QLabel *>(u"toplam"_s)->text() != expected ||
            dialog->findChild<QLineEdit *>(u"parola"_s)->text() != u"Şifrem_Güçlü9ğ"_s)
            state.SkipWithError("not shown");
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    vault::Session::current().lock();
}

void BM_ParolaListe(benchmark::State &state)
{
    openMemberships(state, false);
}
BENCHMARK(BM_ParolaListe)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ParolaListeSealed(benchmark::State &state)
{
    openMemberships(state, true);
}
BENCHMARK(BM_ParolaListeSealed)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
