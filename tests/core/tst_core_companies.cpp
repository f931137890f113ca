#include "Workspace.h"

#include "core/Companies.h"
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

// Companies of the given names and relations, address "Eski".
void addCompanies(const QStringList &rows)
{
    for (const QString &row : rows)
        QVERIFY(core::Companies()
                    .add({-1, row.section(u'|', 0, 0), u"Eski"_s, {}, {}, {}, {}, row.section(u'|', 1), {}})
                    .isDone());
}

const QStringList kSome = {u"Zeytin A.Ş.|Müşteri"_s, u"Çınar Yapı|Müşteri"_s, u"Cam Dünyası|Müşteri"_s,
                           u"İnci Tekstil|Tedarikçi"_s, u"Işık Ltd.|Tedarikçi & Müşteri"_s};

} // namespace

class TestCoreCompanies : public QObject
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
        addCompanies(kSome);
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

    // Update writes the six contact fields only; both changes say when the company was deleted
    // meanwhile, and a delete that fails half-way leaves it whole.
    void changesReachTheRowOrSayItIsGone_data()
    {
        QTest::addColumn<QString>("change"); // then the statement another program ran first
        QTest::addColumn<int>("status");     // core::Status; -1: db::Error thrown
        QTest::addColumn<QString>("stored"); // then the trash
        const int done = int(core::Status::Done), gone = int(core::Status::Gone);
        const QString deleted = u"|DELETE FROM Firmalar"_s;
        QTest::newRow("update") << u"update"_s << done << u"Ali|Yeni'ce|VD|VN|T|M|Müşteri|W|"_s;
        QTest::newRow("update, gone meanwhile") << u"update"_s + deleted << gone << u"|"_s;
        QTest::newRow("remove into the trash") << u"remove"_s << done << u"|Firmalar"_s;
        QTest::newRow("remove, gone meanwhile") << u"remove"_s + deleted << gone << u"|"_s;
        QTest::newRow("remove failing after the copy to the trash")
            << u"remove|CREATE TRIGGER Kilit BEFORE DELETE ON Firmalar BEGIN SELECT RAISE(ABORT, 'kilitli'); END"_s
            << -1 << u"Ali|Eski|||||Müşteri||"_s;
    }
    void changesReachTheRowOrSayItIsGone()
    {
        QFETCH(QString, change);
        addCompanies({u"Ali|Müşteri"_s});
        if (change.contains(u'|'))
            rawExec(change.section(u'|', 1).toUtf8().constData());
        int status = -1;
        try {
            core::Companies companies;
            status =
                int((change.startsWith(u"update"_s) ? companies.update({1, u"Yok"_s, u"Yeni'ce"_s, u"VD"_s, u"VN"_s,
                                                                        u"T"_s, u"M"_s, u"Tedarikçi"_s, u"W"_s})
                                                    : companies.remove(1))
                        .status);
        } catch (const db::Error &) {
        }
        QTEST(status, "status");
        QTEST(storedCompanies() + u'|' + rawRows(u"SELECT Kind FROM Trash"_s).join(u'|'), "stored");
    }
};

QTEST_GUILESS_MAIN(TestCoreCompanies)
#include "tst_core_companies.moc"
