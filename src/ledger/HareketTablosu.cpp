#include "ledger/HareketTablosu.h"

#include "core/Entries.h"
#include "core/ExchangeRates.h"
#include "data/Files.h"
#include "data/Kinds.h"
#include "data/RowListModel.h"
#include "ledger/EntryFields.h"
#include "ledger/Rapor.h"
#include "ledger/RateField.h"
#include "ledger/RateFillPreview.h"
#include "platform/ComboChoice.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "platform/ServerChanges.h"
#include "platform/StoredValues.h"
#include "platform/TextLimit.h"
#include "ui_HareketTablosu.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

const QString kTumu = u"Tümü"_s;

// Input limits of the detail boxes; the others take what a line edit takes.
constexpr int kFaturaNoLimit = 100;

// The stored value's item, as selectByPrefix finds it; an empty value has none
// (it would select the first item, and a save would write that).
bool selectMatching(QComboBox *combo, const QString &value)
{
    return !value.isEmpty() && selectByPrefix(combo, value);
}

} // namespace

QString HareketTablosu::StoredChoice::value() const
{
    return shown && combo->currentIndex() >= 0 ? combo->currentText() : stored;
}

HareketTablosu::HareketTablosu(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::HareketTablosu>()), m_model(new RowListModel(false, this))
{
    ui->setupUi(this);
    fitStoredValue(ui->kaynak);
    fitStoredValue(ui->kategori);
    // "Kuru Getir" beside the rate takes room the amount and the rate keep for an edited amount ("1250.500000").
    fitDigits(ui->tutar, 12);
    fitDigits(ui->kur, 9);
    ui->hareketListesi->setModel(m_model);
    elideStoredValues(ui->hareketListesi);
    fillFilters();
    ui->kurEksik->hide();
    ui->okunamayan->hide();
    m_choices[Gun].combo = ui->gun;
    m_choices[Ay].combo = ui->ay;
    m_choices[Yil].combo = ui->yil;
    m_choices[Birim].combo = ui->birim;
    for (StoredChoice &choice : m_choices)
        connect(choice.combo, &QComboBox::activated, this, [&choice] { choice.shown = true; });
    // Choosing Dolar or Euro, or another date with one of them, proposes the rate of the date.
    m_rate = new ledger::RateField(
        ui->kur, ui->kurNotu, ui->kuruGetir,
        [this] {
            return QDate(m_choices[Yil].value().toInt(), m_choices[Ay].value().toInt(), m_choices[Gun].value().toInt());
        },
        [this] { return m_choices[Birim].value(); }, this);
    for (StoredChoice &choice : m_choices)
        connect(choice.combo, &QComboBox::activated, m_rate, &ledger::RateField::propose);

    connect(ui->listele, &QPushButton::clicked, this, &HareketTablosu::OnListele);
    connect(ui->hareketListesi->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &HareketTablosu::OnSelChangeEntryList);
    // A click on the entry on show counts as choosing it again once a save has put the buttons off;
    // not after its details could not be read, which the press that chose it has told already.
    connect(ui->hareketListesi, &QListView::clicked, this, [this] {
        if (!ui->kaydet->isEnabled() && m_nSelectedRowId != -1)
            OnSelChangeEntryList();
    });
    // Connected once the filters are filled: the year chosen on opening leaves "Hesapla" as it is.
    connect(ui->yilFiltresi, &QComboBox::currentIndexChanged, this, &HareketTablosu::OnSelChangeYearFilter);
    connect(ui->kaydet, &QPushButton::clicked, this, &HareketTablosu::OnKaydet);
    connect(ui->sil, &QPushButton::clicked, this, &HareketTablosu::OnSil);
    connect(ui->hesapla, &QPushButton::clicked, this, &HareketTablosu::OnHesapla);
    connect(ui->aylikRapor, &QPushButton::clicked, this, &HareketTablosu::OnAylikRapor);
    connect(ui->csvAktar, &QPushButton::clicked, this, &HareketTablosu::OnCsvAktar);
    connect(ui->kurlariDoldur, &QPushButton::clicked, this, &HareketTablosu::OnKurlariDoldur);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::accept);
    // Once listed, what another desk changes is listed too, with the filters that listed it.
    followList(
        this, {u"GelirGider"_s}, ui->hareketListesi, m_model,
        [this] {
            return m_listed ? std::optional(core::Entries::list(m_listed->kind, m_listed->month, m_listed->year))
                            : std::nullopt;
        },
        [this] { OnListele(); }, [this] { showCount(); });
}

HareketTablosu::~HareketTablosu() = default;

void HareketTablosu::fillFilters()
{
    ui->turFiltresi->addItems({kTumu, ledger::income(), ledger::expense()});
    ui->turFiltresi->setCurrentIndex(0);
    ui->hareketTuru->addItems({ledger::income(), ledger::expense()});
    ui->hareketTuru->setCurrentIndex(0);
    ledger::addNumbers(ui->gun, 1, 31);
    ui->ayFiltresi->addItem(kTumu);
    ledger::addNumbers(ui->ayFiltresi, 1, 12);
    ledger::addNumbers(ui->ay, 1, 12);
    ui->yilFiltresi->addItem(kTumu);
    ledger::addNumbers(ui->yilFiltresi, 2020, 2050);
    ledger::addNumbers(ui->yil, 2020, 2050);
    ledger::addCurrencies(ui->birim);
    ui->birim->setCurrentIndex(0);
    for (QComboBox *date : {ui->gun, ui->ay, ui->yil})
        date->setCurrentIndex(-1);

    // This month and year, or "Tümü" when the list has no item for them.
    const QDate today = QDate::currentDate();
    ui->ayFiltresi->setCurrentIndex(
        std::max(0, ui->ayFiltresi->findText(QString::number(today.month()), Qt::MatchExactly)));
    ui->yilFiltresi->setCurrentIndex(
        std::max(0, ui->yilFiltresi->findText(QString::number(today.year()), Qt::MatchExactly)));
}

HareketTablosu::Filters HareketTablosu::filters() const
{
    // The filters by index: kind 1 "Gelir", 2 "Gider"; the month's index is
    // its number; year index i is 2019 + i; index 0 is "Tümü".
    const int kindIndex = ui->turFiltresi->currentIndex();
    const QString kind = kindIndex == 1 ? ledger::income() : kindIndex == 2 ? ledger::expense() : QString();
    const int month = std::max(0, ui->ayFiltresi->currentIndex());
    const int year = ui->yilFiltresi->currentIndex() > 0 ? ui->yilFiltresi->currentIndex() + 2019 : 0;
    return {kind, month, year};
}

void HareketTablosu::OnListele()
{
    try {
        const Filters chosen = filters();
        m_listed = chosen;
        m_model->load(core::Entries::list(chosen.kind, chosen.month, chosen.year));
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    // Selecting in code runs the handler once, here, not through the signal.
    {
        const QSignalBlocker blocker(ui->hareketListesi->selectionModel());
        ui->hareketListesi->setCurrentIndex(m_model->index(0, 0));
    }
    OnSelChangeEntryList();
    showCount();
}

void HareketTablosu::showCount()
{
    ui->toplam->setText(u"Toplam %1 adet hareket bulundu."_s.arg(m_model->rowCount()));
    ui->okunamayan->setText(db::unreadableNote(m_model->unreadable()));
    ui->okunamayan->setVisible(m_model->unreadable() > 0);
}

void HareketTablosu::OnSelChangeEntryList()
{
    const QModelIndex current = ui->hareketListesi->currentIndex();
    if (!current.isValid())
        return;
    m_nSelectedRowId = m_model->rowId(current.row());
    if (!LoadEntryDetails(m_nSelectedRowId)) {
        // The controls may still show another entry: it must not be saved over this one.
        m_nSelectedRowId = -1;
        setRecordButtonsEnabled(false);
        return;
    }
    setRecordButtonsEnabled(true);
}

bool HareketTablosu::LoadEntryDetails(qint32 rowId)
{
    std::optional<Entry> entry;
    std::optional<db::Error> failure;
    try {
        entry = core::Entries().find(rowId);
    } catch (const db::Error &error) {
        // Emptied: the entry chosen before must not show beside this one.
        failure = error;
        entry = Entry();
    }
    m_shown = failure ? Entry() : entry.value_or(Entry());
    if (!entry)
        return true; // gone meanwhile: the controls keep what they showed

    selectMatching(ui->hareketTuru, entry->kind);
    const QString stored[] = {entry->day, entry->month, entry->year, entry->currency};
    for (int i = 0; i < 4; ++i) {
        m_choices[i].stored = stored[i];
        m_choices[i].shown = selectMatching(m_choices[i].combo, stored[i]);
    }
    ui->kaynak->setText(entry->source);
    showText(ui->tutar, entry->amount);
    showText(ui->kur, entry->rate);
    m_rate->reset();
    showText(ui->kdv, entry->vatRate);
    ui->kategori->setText(entry->category);
    ui->icerik->setPlainText(entry->content);
    ui->islemNotu->setPlainText(entry->note);
    showText(ui->faturaNo, entry->invoice, kFaturaNoLimit);
    // Only expenses carry an invoice number.
    ui->faturaNo->setEnabled(entry->kind != ledger::income());
    if (failure) {
        for (QComboBox *combo : {ui->hareketTuru, ui->gun, ui->ay, ui->yil, ui->birim})
            combo->setCurrentIndex(-1);
        db::showError(*failure);
        return false;
    }
    return true;
}

void HareketTablosu::OnSelChangeYearFilter()
{
    ui->hesapla->setEnabled(ui->yilFiltresi->currentIndex() != 0);
}

void HareketTablosu::setRecordButtonsEnabled(bool enabled)
{
    ui->kaydet->setEnabled(enabled);
    ui->sil->setEnabled(enabled);
}

void HareketTablosu::OnKaydet()
{
    Desktop &desktop = Desktop::current();
    if (m_nSelectedRowId == -1) {
        desktop.applicationBox(u"Lütfen önce bir hareket seçin."_s, Desktop::Icon::Error);
        return;
    }
    Entry entry;
    entry.rowId = m_nSelectedRowId;
    entry.amount = ui->tutar->text();
    entry.rate = ui->kur->text();
    entry.vatRate = ui->kdv->text();
    entry.content = ui->icerik->toPlainText();
    entry.note = ui->islemNotu->toPlainText();
    entry.currency = m_choices[Birim].value();
    entry.day = m_choices[Gun].value();
    entry.month = m_choices[Ay].value();
    entry.year = m_choices[Yil].value();
    entry.invoice = ui->faturaNo->text();
    const auto result = ledger::writeEntries([&] { return core::Entries().update(m_shown, entry); });
    if (!result)
        return;
    if (result->isGone()) {
        reportVanished();
        return;
    }
    if (result->isChanged()) {
        reportChanged();
        return;
    }
    desktop.applicationBox(u"Hareket bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
    setRecordButtonsEnabled(false);
}

void HareketTablosu::OnSil()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Bu hareketi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question,
                               Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change change;
    try {
        change = core::Entries().remove(m_nSelectedRowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (change.isGone()) {
        reportVanished();
        return;
    }
    desktop.applicationBox(u"Seçili hareket başarıyla silindi."_s, Desktop::Icon::Information);
    // Listed again: the first entry left is shown and can be edited; with none
    // left both buttons stay off.
    setRecordButtonsEnabled(false);
    OnListele();
}

// The entry was deleted meanwhile (by a second copy of the program, say): say
// so rather than report a success, and show the list as it is now.
void HareketTablosu::reportVanished()
{
    db::showGone(u"Bu hareket artık kayıtlı değil"_s);
    setRecordButtonsEnabled(false);
    OnListele();
}

// Another window or desk saved the entry after it was shown: nothing typed
// was written. The list and the entry show as they are now.
void HareketTablosu::reportChanged()
{
    db::showChanged(u"Bu hareket"_s);
    const qint32 shown = m_nSelectedRowId;
    setRecordButtonsEnabled(false);
    OnListele();
    selectListed(shown);
}

void HareketTablosu::selectListed(qint32 rowId)
{
    if (const int row = m_model->indexOf(rowId); row >= 0)
        ui->hareketListesi->setCurrentIndex(m_model->index(row, 0)); // shows it, unless it is the first
}

void HareketTablosu::chooseRow(qint32 rowId)
{
    std::optional<Entry> entry;
    try {
        entry = core::Entries().find(rowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (!entry)
        return;
    // Every kind, the entry's month and year ("Tümü" where the filters have no item for them).
    ui->turFiltresi->setCurrentIndex(0);
    ui->ayFiltresi->setCurrentIndex(std::max(0, ui->ayFiltresi->findText(entry->month, Qt::MatchExactly)));
    ui->yilFiltresi->setCurrentIndex(std::max(0, ui->yilFiltresi->findText(entry->year, Qt::MatchExactly)));
    OnListele();
    selectListed(rowId);
}

void HareketTablosu::OnHesapla()
{
    OnListele();
    // The month and year filters' numbers; "Tümü" takes every month or year.
    const int month = ui->ayFiltresi->currentText() == kTumu ? 0 : ui->ayFiltresi->currentText().toInt();
    const int year = ui->yilFiltresi->currentText() == kTumu ? 0 : ui->yilFiltresi->currentText().toInt();
    std::optional<ledger::Totals> totals;
    try {
        totals = core::Entries().totals(month, year);
        if (!totals)
            throw db::Error{QString(), u"Sütun değeri dönüştürülemedi: IslemTutari"_s};
    } catch (const db::Error &error) {
        // No totals rather than the last period's beside this period's list.
        showTotals({}, {}, {}, {});
        db::showError(error);
        return;
    }
    showTotals(ledger::amountText(totals->income), ledger::amountText(totals->expense), ledger::resultText(*totals),
               ledger::leftOutText(*totals));
}

void HareketTablosu::showTotals(const QString &income, const QString &expense, const QString &result,
                                const QString &leftOut)
{
    ui->toplamGelir->setText(income);
    ui->toplamGider->setText(expense);
    ui->karZarar->setText(result);
    ui->kurEksik->setText(leftOut);
    ui->kurEksik->setVisible(!leftOut.isEmpty());
}

void HareketTablosu::OnCsvAktar()
{
    SaveFileRequest request;
    request.caption = u"CSV Aktar"_s;
    request.fileName = u"Hareketler.csv"_s;
    request.filter = u"CSV Dosyası (*.csv);;Tüm Dosyalar (*.*)"_s;
    request.defaultSuffix = u"csv"_s;
    saveToFile(
        this, request,
        [this](const QString &path) {
            const Filters chosen = filters();
            return files::writeWhole(path, core::Entries().listedCsv(chosen.kind, chosen.month, chosen.year));
        },
        u"Listelenen hareketler %1 dosyasına yazıldı."_s);
}

void HareketTablosu::OnAylikRapor()
{
    if (ui->ayFiltresi->currentIndex() == 0 || ui->yilFiltresi->currentIndex() == 0) {
        Desktop::current().messageBox(
            this, u"Rapor Hatası"_s,
            u"Raporlama Yılın tüm Ayları veya tüm Yılları için yapılamaz, lütfen Ay ve Yıl bölümünden raporlamak "
            u"istediğiniz Yıl ve Ay seçeneğini seçin."_s,
            Desktop::Icon::Error, Desktop::Buttons::Ok);
        return;
    }
    OnHesapla();
    const MonthlyReport report =
        core::Entries().monthlyReport(ui->ayFiltresi->currentIndex(), ui->yilFiltresi->currentText());
    if (report.error)
        db::showError(*report.error); // the viewer opens with the report as far as it got
    Rapor viewer(report, this);
    Desktop::current().runModal(viewer);
}

void HareketTablosu::OnKurlariDoldur()
{
    const Filters chosen = filters();
    const core::RateSource source = ledger::storedRateSource();
    core::RateFillPlan plan;
    try {
        plan = core::ExchangeRates(source.kind).planFill(chosen.kind, chosen.month, chosen.year);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (plan.unknownDays.isEmpty()) {
        offerRateFill(chosen, {});
        return;
    }
    // The bulletins of the days not kept yet are fetched first, in the background; the dialog
    // stays usable meanwhile.
    delete m_fillFetch;
    m_fillFetch = new core::RateFetch(source, this);
    // Said under the totals, where a line wraps: the dialog keeps its size.
    const QString totalsNote = ui->kurEksik->text();
    const auto say = [this](const QString &text) {
        ui->kurEksik->setText(text);
        ui->kurEksik->setVisible(!text.isEmpty());
    };
    ui->kurlariDoldur->setEnabled(false);
    say(u"Kurlar getiriliyor…"_s);
    connect(m_fillFetch, &core::RateFetch::progressed, this,
            [say](int done, int total) { say(u"Kurlar getiriliyor… (%1/%2)"_s.arg(done + 1).arg(total)); });
    connect(m_fillFetch, &core::RateFetch::finished, this,
            [this, chosen, source, say, totalsNote](const core::RateFetchReport &report) {
                ui->kurlariDoldur->setEnabled(true);
                say(totalsNote);
                offerRateFill(chosen, ledger::fetchFailureText(report, source.timeoutMs));
            });
    m_fillFetch->start(plan.unknownDays);
}

// The entries the kept bulletins can fill, shown one by one before anything is written.
void HareketTablosu::offerRateFill(const Filters &chosen, const QString &note)
{
    Desktop &desktop = Desktop::current();
    const RateKind kind = ledger::storedRateSource().kind;
    core::RateFillPlan plan;
    try {
        plan = core::ExchangeRates(kind).planFill(chosen.kind, chosen.month, chosen.year);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (plan.fills.empty()) {
        QString text = u"Listelenen dönemde kuru doldurulabilecek Dolar veya Euro hareketi yok."_s;
        if (plan.leftOut > 0)
            text += u"\r\n%1 hareketin tarihi için saklanan bir kur bulunamadı."_s.arg(plan.leftOut);
        if (!note.isEmpty())
            text += u"\r\n"_s + note;
        desktop.applicationBox(text, Desktop::Icon::Information);
        return;
    }
    RateFillPreview preview(plan, kind, note, this);
    if (desktop.runModal(preview) != QDialog::Accepted)
        return;
    const auto result = ledger::writeEntries([&] { return core::ExchangeRates(kind).fill(plan); });
    if (!result)
        return;
    if (!result->isDone()) {
        desktop.applicationBox(u"Hareketlerden biri önizlemeden sonra başka bir yerden değiştirilmiş ya da silinmiş; "
                               u"hiçbir kur yazılmadı. Listeye bakıp Kurları Doldur'a yeniden basın."_s,
                               Desktop::Icon::Error);
    } else {
        desktop.applicationBox(u"%1 hareketin Geçerli Kur alanı dolduruldu."_s.arg(plan.fills.size()),
                               Desktop::Icon::Information);
    }
    OnListele();
}
