#include "DialogTest.h"
#include "DialogWidgets.h"

#include "core/Calendar.h"
#include "core/RecurringEntries.h"
#include "ledger/PendingEntriesDialog.h"
#include "ledger/RecurringEntriesDialog.h"
#include "ledger/RecurringEntryDialog.h"

#include <QDateEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void setNumber(QWidget &dialog, const char *name, int value)
{
    static_cast<QSpinBox *>(widget(dialog, name))->setValue(value);
}

void setDate(QWidget &dialog, const char *name, const QDate &date)
{
    static_cast<QDateEdit *>(widget(dialog, name))->setDate(date);
}

QTreeWidget *tree(QWidget &dialog, const char *name)
{
    return static_cast<QTreeWidget *>(widget(dialog, name));
}

QString dayText(const QDate &day)
{
    return day.toString(u"dd.MM.yyyy"_s);
}

// Rent every week on today's weekday since three weeks ago: four occurrences due, today's the last.
void addWeeklyRent()
{
    RecurringTemplate rent;
    rent.entry = {-1,     u"Gider"_s, {},        {},        {}, u"Çınar Yapı"_s, u"500"_s, u"Lira"_s,
                  u"0"_s, u"20"_s,    u"Kira"_s, u"Depo"_s, {}, u"0"_s};
    const QDate today = QDate::currentDate();
    rent.rule = {Recurrence::Unit::Weeks, 1, today.dayOfWeek(), 1, today.addDays(-21), {}, 0};
    QVERIFY(core::RecurringEntries().add(rent).isDone());
}

} // namespace

// The recurring entries' dialogs: the templates, one template, and the occurrences fallen due.
class TestRecurring : public DialogTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startCase();
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Çınar Yapı', 'Tedarikçi')");
        rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira')");
    }
    void cleanup() { endCase(); }

    // The next five days follow the rule as it is typed; "Kaydet" stores it through the entry's checks.
    void aTemplateShowsItsNextDaysAndIsStored()
    {
        RecurringEntryDialog dialog;
        setTexts(dialog, {"islemTuru", "kaynak", "tutar", "kategori", "unit"}, u"Gider|Çınar Yapı|12500|Kira|ay"_s);
        setNumber(dialog, "day", 31);
        setDate(dialog, "start", QDate(2025, 1, 1));
        QCOMPARE(textOf(dialog, "nextDates"), u"31.01.2025, 28.02.2025, 31.03.2025, 30.04.2025, 31.05.2025"_s);
        setText(dialog, "unit", u"hafta"_s);
        QVERIFY(widget(dialog, "day")->isHidden() && !widget(dialog, "weekday")->isHidden());
        setText(dialog, "weekday", u"Pazartesi"_s);
        click(dialog, "endsAfter");
        setNumber(dialog, "times", 2);
        QCOMPARE(textOf(dialog, "nextDates"), u"06.01.2025, 13.01.2025"_s);
        click(dialog, "endsOn");
        setDate(dialog, "end", QDate(2024, 12, 31));
        QCOMPARE(textOf(dialog, "nextDates"), u"Bu kural başka bir tarih vermiyor."_s);
        click(dialog, "kaydet");
        expectBox(u"Bitiş tarihi başlangıç tarihinden önce olamaz."_s, Desktop::Icon::Error);
        setDate(dialog, "end", QDate(2025, 12, 31));
        setText(dialog, "tutar", u"12,5"_s);
        click(dialog, "kaydet");
        expectBox(u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\n"
                  u"Lütfen küsüratlı değerleri .(Nokta) ile ayırın, ,(Virgül Kullanmayın)"_s,
                  Desktop::Icon::None);
        QCOMPARE(rawRows(u"SELECT count(*) FROM RecurringEntries"_s), QStringList{u"0"_s});
        setText(dialog, "tutar", u"12500"_s);
        click(dialog, "kaydet");
        expectBox(u"Tekrarlayan hareket başarı ile kaydedildi"_s, Desktop::Icon::Information, u"Tekrarlayan Hareket"_s);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(rawRows(u"SELECT Kind, Source, Amount, Category, Unit, Every, Day, StartDate, EndDate, Times "
                         u"FROM RecurringEntries"_s),
                 QStringList{u"Gider|Çınar Yapı|12500.00|Kira|weeks|1|1|2025-01-01|2025-12-31|0"_s});
    }

    // "Atla" drops the selected one, an unticked one waits, "Kaydet" records the ticked on their days.
    void pendingOccurrencesAreRecordedSkippedOrLeft()
    {
        addWeeklyRent();
        const QDate today = QDate::currentDate();
        PendingEntriesDialog dialog(core::RecurringEntries().due(today));
        QCOMPARE(rowsOf(dialog, "hareketler", 4),
                 QStringList({dayText(today.addDays(-21)) + u"|Gider|Çınar Yapı|500.00 Lira"_s,
                              dayText(today.addDays(-14)) + u"|Gider|Çınar Yapı|500.00 Lira"_s,
                              dayText(today.addDays(-7)) + u"|Gider|Çınar Yapı|500.00 Lira"_s,
                              dayText(today) + u"|Gider|Çınar Yapı|500.00 Lira"_s}));
        clickRow(dialog, "hareketler", 1);
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "atla");
        expectBox(
            u"%1 tarihli hareket atlansın mı? Kaydedilmez ve bir daha sorulmaz."_s.arg(dayText(today.addDays(-14))),
            Desktop::Icon::Question);
        QCOMPARE(tree(dialog, "hareketler")->topLevelItemCount(), 4);
        clickRow(dialog, "hareketler", 1);
        clickAndAnswer(dialog, "atla");
        QCOMPARE(tree(dialog, "hareketler")->topLevelItemCount(), 3);
        tree(dialog, "hareketler")->topLevelItem(2)->setCheckState(0, Qt::Unchecked); // today's: later
        click(dialog, "kaydet");
        expectBox(u"2 hareket kaydedildi."_s, Desktop::Icon::Information, u"Bekleyen Hareketler"_s);
        const auto entryDay = [](const QDate &d) { return u"%1|%2|%3"_s.arg(d.day()).arg(d.month()).arg(d.year()); };
        QCOMPARE(rawRows(u"SELECT Gun, Ay, Yil FROM GelirGider ORDER BY RowId"_s),
                 QStringList({entryDay(today.addDays(-21)), entryDay(today.addDays(-7))}));
        QCOMPARE(core::RecurringEntries().due(today).occurrences.size(), size_t(1));
    }

    // A company deleted meanwhile: its occurrences are shown with a warning, never ticked, until
    // another is chosen through "Düzelt".
    void aDeletedCompanyIsShownAndChosenAgain()
    {
        addWeeklyRent();
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Ova Emlak', 'Tedarikçi')");
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Çınar Yapı'");
        PendingEntriesDialog dialog(core::RecurringEntries().due(QDate::currentDate()));
        const QTreeWidgetItem *first = tree(dialog, "hareketler")->topLevelItem(0);
        QCOMPARE(first->text(5), u"İşlem Kaynağı artık kayıtlı değil: Düzelt ile başka bir firma seçin."_s);
        QVERIFY(!(first->flags() & Qt::ItemIsUserCheckable));
        click(dialog, "kaydet");
        expectBox(u"Kaydedilecek hareket işaretlenmedi."_s, Desktop::Icon::Information);
        m_desktop->onModal = [this](QDialog &edit) {
            QCOMPARE(textOf(edit, "warning"),
                     u"İşlem Kaynağı artık kayıtlı değil: Düzelt ile başka bir firma seçin."_s);
            setText(edit, "kaynak", u"Ova Emlak"_s);
            click(edit, "kaydet");
            expectBox(u"Tekrarlayan hareket başarı ile kaydedildi"_s, Desktop::Icon::Information,
                      u"Tekrarlayan Hareket"_s);
        };
        click(dialog, "duzelt");
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"RecurringEntryDialog"_s});
        QCOMPARE(tree(dialog, "hareketler")->topLevelItem(0)->checkState(0), Qt::Checked);
        QCOMPARE(tree(dialog, "hareketler")->topLevelItem(0)->text(2), u"Ova Emlak"_s);
    }

    // The list opens with what has fallen due offered over it; "Sil" asks, and "Hayır" keeps.
    void theListOffersWhatIsDueAndDeletesIntoTheTrash()
    {
        addWeeklyRent();
        RecurringEntriesDialog dialog;
        QCOMPARE(rowsOf(dialog, "sablonlar", 4),
                 QStringList{u"Gider|Çınar Yapı|500.00 Lira|Her hafta "_s +
                             QLocale(QLocale::Turkish).dayName(QDate::currentDate().dayOfWeek())});
        QTRY_COMPARE(m_desktop->modalDialogs, QStringList{u"PendingEntriesDialog"_s});
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "sil");
        expectBox(u"Seçili tekrarlayan hareketi silmek istediğinizden emin misiniz? Kaydedilmiş hareketler "
                  u"silinmez."_s,
                  Desktop::Icon::Question);
        clickAndAnswer(dialog, "sil");
        expectBox(u"Seçili tekrarlayan hareket silindi; Çöp Kutusu'ndan geri alınabilir."_s,
                  Desktop::Icon::Information);
        QCOMPARE(tree(dialog, "sablonlar")->topLevelItemCount(), 0);
        QCOMPARE(rawRows(u"SELECT Kind FROM Trash"_s), QStringList{u"RecurringEntries"_s});
    }
};

QTEST_MAIN(TestRecurring)
#include "tst_recurring.moc"
