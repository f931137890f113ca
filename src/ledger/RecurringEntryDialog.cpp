#include "ledger/RecurringEntryDialog.h"

#include "core/Calendar.h"
#include "core/RecurringEntries.h"
#include "data/Kinds.h"
#include "ledger/EntryFields.h"
#include "ledger/RecurringTexts.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/StoredValues.h"
#include "platform/TextLimit.h"
#include "ui_RecurringEntryDialog.h"

using namespace Qt::StringLiterals;

namespace {

void selectText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
}

} // namespace

RecurringEntryDialog::RecurringEntryDialog(QWidget *parent, const std::optional<RecurringTemplate> &shown)
    : QDialog(parent), ui(std::make_unique<Ui::RecurringEntryDialog>()), m_shown(shown)
{
    ui->setupUi(this);
    ui->icerik->setMaxLength(255);
    ui->islemNotu->setMaxLength(255);
    fitDigits(ui->tutar, 16);
    fitStoredValues(ui->kaynak);
    fitStoredValues(ui->kategori);
    ui->islemTuru->addItems({ledger::income(), ledger::expense()});
    ledger::addCurrencies(ui->birim);
    ui->unit->addItems({u"ay"_s, u"hafta"_s, u"yıl"_s});
    ui->month->addItems(recurring::monthNames());
    ui->weekday->addItems(recurring::weekdayNames());

    const QDate today = QDate::currentDate();
    RecurringTemplate t;
    if (shown) {
        t = *shown;
        setWindowTitle(u"Tekrarlayan Hareket - Düzelt"_s);
    } else {
        t.entry = {-1, ledger::expense(), {}, {}, {}, {}, u"0"_s, u"Lira"_s, u"0"_s, u"20"_s, {}, {}, {}, u"0"_s};
        t.rule = {Recurrence::Unit::Months, 1, today.day(), today.month(), today, {}, 0};
        setWindowTitle(u"Tekrarlayan Hareket - Yeni"_s);
    }
    selectText(ui->islemTuru, t.entry.kind);
    loadChoices();
    selectText(ui->kaynak, t.entry.source);
    selectText(ui->kategori, t.entry.category);
    ui->tutar->setText(t.entry.amount);
    selectText(ui->birim, t.entry.currency);
    ui->kur->setText(t.entry.rate);
    ui->kdv->setText(t.entry.vatRate);
    ui->faturaNo->setText(t.entry.invoice);
    ui->icerik->setPlainText(t.entry.content);
    ui->islemNotu->setPlainText(t.entry.note);
    ui->faturaNo->setEnabled(t.entry.kind != ledger::income());

    const Recurrence &r = t.rule;
    ui->unit->setCurrentIndex(int(r.unit));
    ui->every->setValue(r.every);
    ui->day->setValue(r.unit == Recurrence::Unit::Weeks ? today.day() : r.day);
    ui->weekday->setCurrentIndex((r.unit == Recurrence::Unit::Weeks ? r.day : today.dayOfWeek()) - 1);
    ui->month->setCurrentIndex(r.month - 1);
    ui->start->setDate(r.start.isValid() ? r.start : today);
    ui->end->setDate(r.end.isValid() ? r.end : today.addYears(1));
    ui->times->setValue(r.times > 0 ? r.times : 12);
    (r.end.isValid() ? ui->endsOn : r.times > 0 ? ui->endsAfter : ui->noEnd)->setChecked(true);

    // A company or category deleted since: the user chooses another before it is stored.
    const bool sourceGone = shown && ui->kaynak->currentIndex() < 0 && ui->kaynak->count() > 0;
    const bool categoryGone = shown && ui->kategori->currentIndex() < 0 && ui->kategori->count() > 0;
    ui->warning->setVisible(sourceGone || categoryGone);
    if (sourceGone || categoryGone)
        ui->warning->setText(
            recurring::problemText(sourceGone ? core::EntryRefusal::Source : core::EntryRefusal::Category));
    showRuleFields();
    showNextDates();

    connect(ui->islemTuru, &QComboBox::currentTextChanged, this, [this](const QString &kind) {
        ui->faturaNo->setEnabled(kind != ledger::income());
        loadChoices();
    });
    connect(ui->unit, &QComboBox::currentIndexChanged, this, [this] {
        showRuleFields();
        showNextDates();
    });
    for (QSpinBox *spin : {ui->every, ui->day, ui->times})
        connect(spin, &QSpinBox::valueChanged, this, &RecurringEntryDialog::showNextDates);
    for (QComboBox *combo : {ui->month, ui->weekday})
        connect(combo, &QComboBox::currentIndexChanged, this, &RecurringEntryDialog::showNextDates);
    for (QDateEdit *date : {ui->start, ui->end})
        connect(date, &QDateEdit::dateChanged, this, &RecurringEntryDialog::showNextDates);
    for (QRadioButton *radio : {ui->noEnd, ui->endsOn, ui->endsAfter})
        connect(radio, &QRadioButton::toggled, this, &RecurringEntryDialog::showNextDates);
    connect(ui->kaydet, &QPushButton::clicked, this, &RecurringEntryDialog::OnKaydet);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
}

RecurringEntryDialog::~RecurringEntryDialog() = default;

void RecurringEntryDialog::loadChoices()
{
    const QString kind = ui->islemTuru->currentText();
    QStringList sources, categories;
    try {
        sources = core::Entries().sources(kind);
        categories = core::RecurringEntries().categories(kind);
    } catch (const db::Error &error) {
        db::showError(error);
    }
    ui->kaynak->clear();
    ui->kaynak->addItems(sources);
    ui->kategori->clear();
    ui->kategori->addItems(categories);
}

void RecurringEntryDialog::showRuleFields()
{
    const auto unit = Recurrence::Unit(ui->unit->currentIndex());
    ui->day->setVisible(unit != Recurrence::Unit::Weeks);
    ui->gunLabel->setVisible(unit != Recurrence::Unit::Weeks);
    ui->month->setVisible(unit == Recurrence::Unit::Years);
    ui->weekday->setVisible(unit == Recurrence::Unit::Weeks);
}

Recurrence RecurringEntryDialog::typedRule() const
{
    Recurrence rule;
    rule.unit = Recurrence::Unit(ui->unit->currentIndex());
    rule.every = ui->every->value();
    rule.day = rule.unit == Recurrence::Unit::Weeks ? ui->weekday->currentIndex() + 1 : ui->day->value();
    rule.month = rule.unit == Recurrence::Unit::Years ? ui->month->currentIndex() + 1 : 1;
    rule.start = ui->start->date();
    rule.end = ui->endsOn->isChecked() ? ui->end->date() : QDate();
    rule.times = ui->endsAfter->isChecked() ? ui->times->value() : 0;
    return rule;
}

RecurringTemplate RecurringEntryDialog::typed() const
{
    RecurringTemplate t;
    t.rowId = m_shown ? m_shown->rowId : -1;
    t.entry = ledger::typedEntry(*ui, ui->islemTuru->currentText());
    t.rule = typedRule();
    return t;
}

void RecurringEntryDialog::showNextDates()
{
    ui->end->setEnabled(ui->endsOn->isChecked());
    ui->times->setEnabled(ui->endsAfter->isChecked());
    const Recurrence rule = typedRule();
    // Those recorded or skipped already are not shown; an edited rule takes over after them.
    const QDate after = m_shown ? m_shown->doneThrough : QDate();
    QStringList days;
    if (!core::ruleRefusal(rule)) {
        for (const QDate &day : calendar::days(rule, after, {}, 5))
            days << recurring::dateText(day);
    }
    ui->nextDates->setText(days.isEmpty() ? u"Bu kural başka bir tarih vermiyor."_s : days.join(u", "_s));
}

void RecurringEntryDialog::OnKaydet()
{
    const RecurringTemplate t = typed();
    core::Result<core::TemplateRefusal> result;
    try {
        core::RecurringEntries recurring;
        result = m_shown ? recurring.update(*m_shown, t) : recurring.add(t);
    } catch (const db::Error &error) {
        db::showError(error);
        return; // the dialog stays open with everything typed
    }
    if (result.isGone()) {
        db::showGone(u"Bu tekrarlayan hareket artık kayıtlı değil"_s);
        reject();
        return;
    }
    if (result.isChanged()) {
        db::showChanged(u"Bu tekrarlayan hareket"_s);
        reject();
        return;
    }
    if (result.isRefused()) {
        if (const auto *entry = std::get_if<core::EntryRefusal>(&result.refusal)) {
            ledger::showRefusal(*entry);
            if (*entry == core::EntryRefusal::Source || *entry == core::EntryRefusal::Category)
                loadChoices();
        } else {
            recurring::showRefusal(std::get<core::RuleRefusal>(result.refusal));
        }
        return;
    }
    Desktop::current().messageBox(this, u"Tekrarlayan Hareket"_s, u"Tekrarlayan hareket başarı ile kaydedildi"_s,
                                  Desktop::Icon::Information, Desktop::Buttons::Ok);
    accept();
}
