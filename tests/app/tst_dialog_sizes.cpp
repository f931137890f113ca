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
#include "ledger/GGTurEkle.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/ProcessValues.h"
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

// Where a dialog must fit, frame included, whatever the data.
const QRect kScreen(0, 0, 1024, 768);

using Opener = std::function<QDialog *()>;

template <class Dialog>
QDialog *make()
{
    return new Dialog;
}

// A dialog that lists on a click, showing the last (the longest) row.
QDialog *showingLast(QDialog *dialog, const char *button, const char *list)
{
    click(*dialog, button);
    clickRow(*dialog, list, int(listed(*dialog, list).size()) - 1);
    return dialog;
}

QDialog *entry(const QString &kind)
{
    g_strIslemTuru = kind;
    return new GelirGiderEkle;
}

QDialog *everyEntry()
{
    auto *dialog = new HareketTablosu;
    setTexts(*dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"}, u"Tümü|Tümü|Tümü"_s);
    return showingLast(dialog, "listele", "hareketListesi");
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestDialogSizes : public DialogTest
{
    Q_OBJECT

    // Every table full of the longest values the dialogs take, and longer.
    static void fillWithLongValues()
    {
        db::Connection c;
        const QString address = longValue(u"Adres satırı\r\n"_s, 250);
        for (int i = 0; i < 3; ++i) {
            const QString name = longValue(u"Firma %1"_s.arg(i), 100 + 50 * i);
            CompanyStore(c).add({-1, name, address, longValue(u"Vergi Dairesi"_s, 100), u"1234567890"_s,
                                 longValue(u"0"_s, 50), longValue(u"posta@"_s, 100), u"Tedarikçi & Müşteri"_s,
                                 longValue(u"https://"_s, 250)});
            for (const QString &kind : {u"Gelir"_s, u"Gider"_s})
                EntryStore(c).add({-1, kind, u"1"_s, u"1"_s, u"2024"_s, name, u"1250.00"_s, u"Lira"_s, u"0"_s, u"20"_s,
                                   longValue(u"Kalem 0"_s, 100), longValue(u"İçerik"_s, 250),
                                   longValue(u"Not\r\n"_s, 250), longValue(u"F"_s, 100)});
            ContactStore(c).add({-1, name, longValue(u"0"_s, 50), longValue(u"0"_s, 50), longValue(u"0"_s, 50),
                                 longValue(u"Meslek"_s, 100), longValue(u"Memleket"_s, 100),
                                 longValue(u"Tahsil"_s, 100), longValue(u"Kan"_s, 100), u"EVET"_s,
                                 longValue(u"posta@"_s, 100), longValue(u"https://"_s, 250), address});
            MembershipStore(c).add({-1, name, longValue(u"kullanıcı"_s, 100), longValue(u"parola"_s, 100),
                                    longValue(u"posta@"_s, 100), longValue(u"https://"_s, 250), address});
            LinkStore(c).add({-1, name, longValue(u"https://"_s, 250), address});
        }
        for (int i = 0; i < 50; ++i)
            for (const QString &kind : {u"Gelir"_s, u"Gider"_s})
                CategoryStore(c).add({-1, kind, longValue(u"Kalem %1"_s.arg(i), 100)});
    }

    // Shows the dialog as a modal run would: it fits the screen with every button inside, each of `views` shows
    // long values elided (a list, or a combo box closed and open), the amount box 16 digits.
    static void check(QDialog &dialog, const QString &views)
    {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize size = dialog.frameGeometry().size();
        QVERIFY(kScreen.size().boundedTo(size) == size);
        for (QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
            if (button->isVisibleTo(&dialog) && button->window()->isAncestorOf(button))
                QVERIFY2(dialog.rect().contains(QRect(button->mapTo(&dialog, QPoint()), button->size())),
                         qPrintable(button->objectName()));
        for (const QString &view : views.split(u' ', Qt::SkipEmptyParts)) {
            QWidget *shown = widget(dialog, qPrintable(view));
            auto *combo = qobject_cast<QComboBox *>(shown);
            if (auto *amount = qobject_cast<QLineEdit *>(shown)) {
                // The text's room: the box less its frame and the two pixels a one-line box keeps free either side.
                const int frame = amount->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, amount);
                const int room = amount->contentsRect().width() - 2 * frame - 2 * 2;
                QVERIFY2(amount->fontMetrics().horizontalAdvance(u"1234567890123456"_s) < room, qPrintable(view));
            } else if (!combo) {
                checkRows(qobject_cast<QAbstractItemView *>(shown), view, true);
            } else {
                QCOMPARE(tooltipAt(combo, combo->rect()), combo->currentText());
                QTest::mousePress(combo, Qt::LeftButton);
                QTRY_VERIFY(combo->view()->isVisible());
                // Wide enough for the longest value up to the screen; what is longer still is elided.
                QVERIFY2(combo->view()->window()->width() <= combo->screen()->availableGeometry().width(),
                         qPrintable(view));
                checkRows(combo->view(), view, false);
                combo->hidePopup();
            }
        }
    }

    // The tooltip shown when the mouse rests on the middle of `rect` of `widget`; empty when none is.
    static QString tooltipAt(QWidget *widget, const QRect &rect)
    {
        QHelpEvent event(QEvent::ToolTip, rect.center(), widget->mapToGlobal(rect.center()));
        QApplication::sendEvent(widget, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    // Every row inside the view's width, and a row too long for it whole in its tooltip.
    static void checkRows(QAbstractItemView *view, const QString &name, bool someElided)
    {
        QVERIFY2(!view->horizontalScrollBar()->isVisible(), qPrintable(name));
        int elided = 0;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            const QModelIndex index = view->model()->index(row, 0);
            view->scrollTo(index);
            const QRect rect = view->visualRect(index);
            const QString text = index.data().toString();
            const QString where = name + u" row "_s + QString::number(row);
            QVERIFY2(rect.left() >= 0 && rect.right() < view->viewport()->width(), qPrintable(where));
            if (view->fontMetrics().horizontalAdvance(text) <= rect.width())
                continue;
            ++elided;
            QVERIFY2(tooltipAt(view->viewport(), rect) == text, qPrintable(where));
        }
        QVERIFY2(elided > 0 || !someElided, qPrintable(name));
    }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void everyDialogFitsTheScreenWithLongValues_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::addColumn<QString>("views");
        QTest::newRow("FirmaEkleDialog") << Opener(make<FirmaEkleDialog>) << QString();
        QTest::newRow("KayitliFirmalar") << Opener([] {
            return showingLast(new KayitliFirmalar, "bul", "firmaListesi");
        }) << u"firmaListesi"_s;
        QTest::newRow("Gelir") << Opener([] { return entry(u"Gelir"_s); }) << u"tutar kaynak kategori"_s;
        QTest::newRow("Gider") << Opener([] { return entry(u"Gider"_s); }) << u"tutar kaynak kategori"_s;
        QTest::newRow("GGTurEkle") << Opener(make<GGTurEkle>) << u"gelirListesi giderListesi"_s;
        QTest::newRow("HareketTablosu") << Opener(everyEntry) << u"hareketListesi"_s;
        QTest::newRow("TelefonRehberi") << Opener(make<TelefonRehberi>) << u"kisiListesi memleket"_s;
        QTest::newRow("Parolalar") << Opener(make<Parolalar>) << u"uyelikListesi"_s;
        QTest::newRow("KayitliLinkler") << Opener(make<KayitliLinkler>) << u"linkListesi"_s;
        QTest::newRow("KdvHesaplaDlg") << Opener(make<KdvHesaplaDlg>) << QString();
        QTest::newRow("CAboutDlg") << Opener(make<CAboutDlg>) << QString();
        QTest::newRow("Rapor") << Opener() << QString();
    }
    void everyDialogFitsTheScreenWithLongValues()
    {
        QFETCH(Opener, open);
        QFETCH(QString, views);
        fillWithLongValues();
        if (open) {
            check(*std::unique_ptr<QDialog>(open()), views);
            return;
        }
        // The report viewer opens from the entries table for one month of one year.
        HareketTablosu table;
        m_desktop->onModal = [](QDialog &viewer) { check(viewer, {}); };
        setTexts(table, {"ayFiltresi", "yilFiltresi"}, u"1|2024"_s);
        click(table, "aylikRapor");
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"Rapor"_s});
    }
};

QTEST_MAIN(TestDialogSizes)
#include "tst_dialog_sizes.moc"
