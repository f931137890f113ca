#include "Workspace.h"

#include "core/Categories.h"
#include "core/Companies.h"
#include "data/Kinds.h"
#include "data/RowListModel.h"

#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString storedCompanies()
{
    return rawRows(u"SELECT FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, Mail, CalismaTuru, WebAdresi "
                   u"FROM Firmalar ORDER BY RowId"_s)
        .join(u';');
}

} // namespace

// The lists an entry draws on: companies, its sources, and the categories of each kind.
class TestCoreLists : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_workspace;

private slots:
    void init() { m_workspace = std::make_unique<Workspace>(); }
    void cleanup() { m_workspace.reset(); }

    // Stored as given, or refused: "!" first.
    void addStoresAsGivenOrRefusesAnUnknownRelation_data()
    {
        QTest::addColumn<QString>("given"); // the add dialog's fields, joined by '|'
        QTest::newRow("every field empty") << u"||||||Müşteri|"_s;
        QTest::newRow("both relations, quotes and a line break")
            << u"Ali'nin Yeri|Cd. 5\nŞişli|Şişli|123|0212|a@b.c|Tedarikçi & Müşteri|ornek.com"_s;
        QTest::newRow("relation in other letters") << u"!Ali||||||müşteri|"_s;
        QTest::newRow("no relation") << u"!Ali|||||||"_s;
    }
    void addStoresAsGivenOrRefusesAnUnknownRelation()
    {
        QFETCH(QString, given);
        const bool refused = given.startsWith(u'!');
        const QStringList f = given.mid(refused).split(u'|');
        const auto result = core::Companies().add({-1, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]});
        QCOMPARE(result.isRefused() && result.refusal == core::Companies::Refusal::UnknownRelation, refused);
        QCOMPARE(storedCompanies(), refused ? QString() : given);
    }

    // "Müşteri" lists exactly those, not "Tedarikçi & Müşteri"; each list in Turkish order. The rows a CSV
    // file gets come in the list's order, without those deleted since.
    void listShowsOneRelationOrAllAndRowsOfKeepsTheOrder()
    {
        for (const QString &row : {u"Zeytin A.Ş.|Müşteri"_s, u"Çınar Yapı|Müşteri"_s, u"Cam Dünyası|Müşteri"_s,
                                   u"İnci Tekstil|Tedarikçi"_s, u"Işık Ltd.|Tedarikçi & Müşteri"_s})
            QVERIFY(core::Companies()
                        .add({-1, row.section(u'|', 0, 0), u"Eski"_s, {}, {}, {}, {}, row.section(u'|', 1), {}})
                        .isDone());
        QStringList lists;
        for (const auto relation :
             {std::optional<core::Relation>(), std::optional(core::Relation::Customer),
              std::optional(core::Relation::Supplier), std::optional(core::Relation::SupplierAndCustomer)}) {
            RowListModel model(true);
            model.load(core::Companies::list(relation));
            for (int i = 0; i < model.rowCount(); ++i)
                lists << model.row(i).text;
            lists << u";"_s;
        }
        rawExec("DELETE FROM Firmalar WHERE RowId = 2");
        for (const Company &company : core::Companies().rowsOf({5, 2, 1, 3}))
            lists << company.name + u' ' + company.relation + u' ' + company.address;
        QCOMPARE(lists.join(u'|'),
                 u"Cam Dünyası|Çınar Yapı|Işık Ltd.|İnci Tekstil|Zeytin A.Ş.|;|Cam Dünyası|Çınar Yapı|"
                 u"Zeytin A.Ş.|;|İnci Tekstil|;|Işık Ltd.|;|Işık Ltd. Tedarikçi & Müşteri Eski|"
                 u"Zeytin A.Ş. Müşteri Eski|Cam Dünyası Müşteri Eski"_s);
    }

    // Update writes the six contact fields only, and nothing over another's save since the company was
    // shown; both changes say when it was deleted meanwhile, and a delete that fails half-way leaves it whole.
    void changesReachTheRowOrSayItIsGone_data()
    {
        QTest::addColumn<QString>("change"); // then the statement another program ran first
        QTest::addColumn<int>("status");     // core::Status; -1: db::Error thrown
        QTest::addColumn<QString>("stored"); // then the trash
        const int done = int(core::Status::Done), gone = int(core::Status::Gone);
        const QString deleted = u"|DELETE FROM Firmalar"_s;
        QTest::newRow("update") << u"update"_s << done << u"Ali|Yeni'ce|VD|VN|T|M|Müşteri|W|"_s;
        QTest::newRow("update, changed meanwhile") << u"update|UPDATE Firmalar SET Telefon = 'başka'"_s
                                                   << int(core::Status::Changed) << u"Ali|Eski|||başka||Müşteri||"_s;
        QTest::newRow("update, gone meanwhile") << u"update"_s + deleted << gone << u"|"_s;
        QTest::newRow("remove into the trash") << u"remove"_s << done << u"|Firmalar"_s;
        QTest::newRow("remove, gone meanwhile") << u"remove"_s + deleted << gone << u"|"_s;
        QTest::newRow("remove failing after the copy to the trash")
            << u"remove|"_s + refusal(u"Kilit"_s, u"Firmalar"_s, u"DELETE"_s, u"kilitli"_s) << -1
            << u"Ali|Eski|||||Müşteri||"_s;
    }
    void changesReachTheRowOrSayItIsGone()
    {
        QFETCH(QString, change);
        rawExec("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, CalismaTuru) VALUES ('Ali', 'Eski', 'Müşteri')");
        core::Companies companies;
        const Company shown = *companies.find(1);
        if (change.contains(u'|'))
            rawExec(change.section(u'|', 1).toUtf8().constData());
        const Company changed{1, u"Yok"_s, u"Yeni'ce"_s, u"VD"_s, u"VN"_s, u"T"_s, u"M"_s, u"Tedarikçi"_s, u"W"_s};
        int status = -1;
        try {
            status =
                int((change.startsWith(u"update"_s) ? companies.update(shown, changed) : companies.remove(1)).status);
        } catch (const db::Error &) {
        }
        QTEST(status, "status");
        QTEST(storedCompanies() + u'|' + rawRows(u"SELECT Kind FROM Trash"_s).join(u'|'), "stored");
    }

    void categoryAddStoresOrRefuses_data()
    {
        QTest::addColumn<QString>("category"); // kind|name
        QTest::addColumn<int>("refusal");      // -1: added
        QTest::newRow("expense, a quote") << u"Gider|Ali'nin Payı"_s << -1;
        QTest::newRow("blanks are a name") << u"Gelir|  "_s << -1;
        QTest::newRow("empty") << u"Gelir|"_s << int(core::CategoryRefusal::EmptyName);
        QTest::newRow("no such kind") << u"Transfer|Kira"_s << int(core::CategoryRefusal::Kind);
    }
    void categoryAddStoresOrRefuses()
    {
        QFETCH(QString, category);
        QFETCH(int, refusal);
        const auto result = core::Categories().add(category.section(u'|', 0, 0), category.section(u'|', 1));
        QCOMPARE(result.isRefused() ? int(result.refusal) : -1, refusal);
        QCOMPARE(rawRows(u"SELECT IslemTuru, KalemAdi FROM GGKategori"_s).join(QString()),
                 refusal < 0 ? category : QString());
    }

    // A list's delete takes only a row of its own kind, into the trash; a row of the other list, or none, is gone.
    void removeTakesItsOwnKindOnly()
    {
        core::Categories categories;
        QVERIFY(categories.add(ledger::income(), u"Satış"_s).isDone() &&
                categories.add(ledger::expense(), u"Kira"_s).isDone());
        QCOMPARE(categories.remove(2, ledger::income()).status, core::Status::Gone);
        QCOMPARE(categories.remove(3, ledger::expense()).status, core::Status::Gone);
        QCOMPARE(categories.remove(1, ledger::income()).status, core::Status::Done);
        QCOMPARE(rawRows(u"SELECT KalemAdi FROM GGKategori; SELECT count(*) FROM Trash"_s),
                 (QStringList{u"Kira"_s, u"1"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCoreLists)
#include "tst_core_lists.moc"
