#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/CAboutDlg.h"
#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "data/MonthlyReport.h"
#include "ledger/GGTurEkle.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/ProcessValues.h"
#include "ledger/Rapor.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"
#include "tools/KdvHesaplaDlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;

using Opener = std::function<QDialog *()>;
Q_DECLARE_METATYPE(Opener)

namespace {

// A value of `length` characters with Turkish wide letters, so that no dialog
// gets away with a narrow font's luck.
QString longValue(const QString &start, int length)
{
    QString value = start;
    while (value.size() < length)
        value += u" ĞÜŞİÖÇ WMW"_s;
    return value.left(length);
}

// Every table full of the longest values the dialogs take, and longer.
void fillWithLongValues()
{
    db::Connection c;
    const QString s = longValue(u"0"_s, 50), m = longValue(u"Orta"_s, 100), l = longValue(u"Adres\r\n"_s, 250);
    for (int i = 0; i < 3; ++i) {
        const QString name = longValue(u"Firma %1"_s.arg(i), 100 + 50 * i);
        CompanyStore(c).add({-1, name, l, m, u"1234567890"_s, s, m, u"Tedarikçi & Müşteri"_s, l});
        for (const QString &kind : {u"Gelir"_s, u"Gider"_s})
            EntryStore(c).add({-1, kind, u"1"_s, u"1"_s, u"2024"_s, name, u"1250.00"_s, u"Lira"_s, u"0"_s, u"20"_s,
                               longValue(u"Kalem 0"_s, 100), l, l, m});
        ContactStore(c).add({-1, name, s, s, s, m, m, m, m, u"EVET"_s, m, l, l});
        MembershipStore(c).add({-1, name, m, m, m, l, l});
        LinkStore(c).add({-1, name, l, l});
    }
    for (int i = 0; i < 50; ++i)
        for (const QString &kind : {u"Gelir"_s, u"Gider"_s})
            CategoryStore(c).add({-1, kind, longValue(u"Kalem %1"_s.arg(i), 100)});
}

// A dialog that lists on a click, showing the last (the longest) row.
QDialog *showingLast(QDialog *dialog, const char *button, const char *list)
{
    click(*dialog, button);
    clickRow(*dialog, list, int(listed(*dialog, list).size()) - 1);
    return dialog;
}

// The tooltip shown when the mouse rests on the middle of `rect` of `widget`; empty when none is.
QString tooltipAt(QWidget *widget, const QRect &rect)
{
    QHelpEvent event(QEvent::ToolTip, rect.center(), widget->mapToGlobal(rect.center()));
    QApplication::sendEvent(widget, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// Every row inside the view's width, and a row too long for it whole in its tooltip.
void checkRows(QAbstractItemView *view, const QString &name, bool someElided)
{
    QVERIFY2(!view->horizontalScrollBar()->isVisible(), qPrintable(name));
    int elided = 0;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        const QRect rect = view->visualRect(index);
        const QString where = u"%1 row %2"_s.arg(name).arg(row);
        QVERIFY2(rect.left() >= 0 && rect.right() < view->viewport()->width(), qPrintable(where));
        const bool cut = view->fontMetrics().horizontalAdvance(index.data().toString()) > rect.width();
        elided += cut;
        QVERIFY2(!cut || tooltipAt(view->viewport(), rect) == index.data().toString(), qPrintable(where));
    }
    QVERIFY2(elided > 0 || !someElided, qPrintable(name));
}

} // namespace

class TestDialogSizes : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Shown as a modal run would, each dialog fits the screen (1024x768, frame included) with every button inside;
    // each of `views` shows long values elided (a list, or a combo box closed and open), the amount box 16 digits.
    void everyDialogFitsTheScreenWithLongValues_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::addColumn<QString>("views");
        const Opener entry = [] { return new GelirGiderEkle; }; // of the kind the row names
        QTest::newRow("FirmaEkleDialog") << Opener([] { return new FirmaEkleDialog; }) << QString();
        QTest::newRow("KayitliFirmalar") << Opener([] {
            return showingLast(new KayitliFirmalar, "bul", "firmaListesi");
        }) << u"firmaListesi"_s;
        QTest::newRow("Gelir") << entry << u"tutar kaynak kategori"_s;
        QTest::newRow("Gider") << entry << u"tutar kaynak kategori"_s;
        QTest::newRow("GGTurEkle") << Opener([] { return new GGTurEkle; }) << u"gelirListesi giderListesi"_s;
        QTest::newRow("HareketTablosu") << Opener([] {
            auto *dialog = new HareketTablosu;
            setTexts(*dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"}, u"Tümü|Tümü|Tümü"_s);
            return showingLast(dialog, "listele", "hareketListesi");
        }) << u"hareketListesi"_s;
        QTest::newRow("TelefonRehberi") << Opener([] { return new TelefonRehberi; }) << u"kisiListesi memleket"_s;
        QTest::newRow("Parolalar") << Opener([] { return new Parolalar; }) << u"uyelikListesi"_s;
        QTest::newRow("KayitliLinkler") << Opener([] { return new KayitliLinkler; }) << u"linkListesi"_s;
        QTest::newRow("KdvHesaplaDlg") << Opener([] { return new KdvHesaplaDlg; }) << QString();
        QTest::newRow("CAboutDlg") << Opener([] { return new CAboutDlg; }) << QString();
        QTest::newRow("Rapor") << Opener([] { return new Rapor(monthlyReport(1, u"2024"_s)); }) << QString();
    }
    void everyDialogFitsTheScreenWithLongValues()
    {
        QFETCH(Opener, open);
        QFETCH(QString, views);
        fillWithLongValues();
        g_strIslemTuru = QString::fromUtf8(QTest::currentDataTag());
        const std::unique_ptr<QDialog> dialog(open());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QSize size = dialog->frameGeometry().size();
        QVERIFY(QSize(1024, 768).boundedTo(size) == size);
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            if (button->isVisibleTo(dialog.get()) && button->window()->isAncestorOf(button))
                QVERIFY2(dialog->rect().contains(QRect(button->mapTo(dialog.get(), QPoint()), button->size())),
                         qPrintable(button->objectName()));
        for (const QString &view : views.split(u' ', Qt::SkipEmptyParts)) {
            QWidget *shown = widget(*dialog, qPrintable(view));
            auto *combo = qobject_cast<QComboBox *>(shown);
            if (auto *amount = qobject_cast<QLineEdit *>(shown)) {
                // The text's room: the box less its frame and the two pixels a one-line box keeps free either side.
                const int frame = amount->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, amount);
                const int room = amount->contentsRect().width() - 2 * frame - 2 * 2;
                QVERIFY(amount->fontMetrics().horizontalAdvance(u"1234567890123456"_s) < room);
            } else if (!combo) {
                checkRows(qobject_cast<QAbstractItemView *>(shown), view, true);
            } else {
                QCOMPARE(tooltipAt(combo, combo->rect()), combo->currentText());
                QTest::mousePress(combo, Qt::LeftButton);
                QTRY_VERIFY(combo->view()->isVisible());
                // Wide enough for the longest value up to the screen; what is longer still is elided.
                QVERIFY(combo->view()->window()->width() <= combo->screen()->availableGeometry().width());
                checkRows(combo->view(), view, false);
                combo->hidePopup();
            }
        }
    }
};

QTEST_MAIN(TestDialogSizes)
#include "tst_dialog_sizes.moc"
