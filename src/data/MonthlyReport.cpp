#include "data/MonthlyReport.h"

#include "data/CompanyStore.h"
#include "data/EntryStore.h"
#include "data/Kinds.h"
#include "data/Money.h"

using namespace Qt::StringLiterals;

namespace {

// Appends one labelled row. Multi-line values were typed with bare line
// feeds; each of their lines ends with CR LF like every other row.
void appendRow(QString &text, const QString &label, const QString &value)
{
    text += label;
    if (!value.contains(u'\n')) {
        text += value;
    } else {
        QChar previous;
        for (const QChar ch : value) {
            if (ch == u'\n' && previous != u'\r')
                text += u'\r';
            text += ch;
            previous = ch;
        }
    }
    text += u"\r\n"_s;
}

// The address, tax office and tax number of the company named by an entry:
// the first of that name, or empty texts when there is none.
void appendEntry(QString &text, const Entry &entry, const Company &company)
{
    appendRow(text, u"İşlem Kaynağı: "_s, entry.source);
    appendRow(text, u"Firma Adresi: "_s, company.address);
    appendRow(text, u"Vergi Dairesi: "_s, company.taxOffice);
    appendRow(text, u"Vergi Numarası: "_s, company.taxNumber);
    appendRow(text, u"İşlem Tutarı: "_s, reportAmount(entry.amount, entry.currency, entry.rate));
    appendRow(text, u"KDV Oranı: "_s, entry.vatRate);
    appendRow(text, u"İşlem Türü: "_s, entry.category);
    appendRow(text, u"İşlem İçeriği: "_s, entry.content);
    appendRow(text, u"İşlem Notu: "_s, entry.note);
    if (entry.kind == ledger::expense())
        appendRow(text, u"Fatura Numarası: "_s, entry.invoice);
    text += QString(80, u'=') + u"\r\n"_s;
}

} // namespace

QString reportMonthName(int month)
{
    static const char16_t *const names[] = {u"OCAK",   u"ŞUBAT",   u"MART",  u"NİSAN", u"MAYIS", u"HAZİRAN",
                                            u"TEMMUZ", u"AĞUSTOS", u"EYLÜL", u"EKİM",  u"KASIM", u"ARALIK"};
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}

QString reportBanner(const QString &monthName, const QString &yearText)
{
    return u"==== NORVA REZADO ==== %1 %2 --- AYLIK GELİR VE GİDER RAPORU --- =========="_s.arg(monthName, yearText);
}

QString reportSectionStart(const QString &kind)
{
    return u"=== "_s + kind + u" KAYITLARI BAŞLANGICI "_s + QString(51, u'=');
}

QString reportSectionEnd(const QString &kind)
{
    return QString(55, u'=') + u' ' + kind + u" KAYITLARI BİTTİ ==="_s;
}

QString reportAmount(const QString &amount, const QString &currency, const QString &rate)
{
    if (currency == u"Lira"_s)
        return amount + u" TL "_s;
    QString text = amount + u' ' + currency;
    if (ledger::isForeign(currency)) {
        const auto perUnit = ledger::parseRate(rate);
        if (!perUnit || *perUnit == 0)
            text += u" (kur bilgisi yok, TL karşılığı hesaplanamadı)"_s;
        else if (const auto lira = ledger::liraValue(amount, currency, rate))
            text += u" (Kur: "_s + rate.trimmed() + u", "_s + ledger::amountText(*lira) + u" TL)"_s;
        else
            text += u" (Kur: "_s + rate.trimmed() + u')'; // an amount that is no number has no lira value
    }
    return text + u' ';
}

MonthlyReport monthlyReport(int month, const QString &yearText)
{
    MonthlyReport report;
    report.monthName = reportMonthName(month);
    report.yearText = yearText;
    report.banner = reportBanner(report.monthName, yearText);
    const QString rule81(81, u'=');
    QString &text = report.text;
    text = rule81 + u"\r\n"_s + report.banner + u"\r\n"_s + rule81 + u"\r\n"_s;
    try {
        db::Connection connection;
        EntryStore entries(connection);
        CompanyByName companies(connection); // prepared at the first entry, used for all
        for (const QString &kind : {ledger::income(), ledger::expense()}) {
            ReportEntries section = entries.reportEntries(kind, month, yearText.toInt());
            text += reportSectionStart(kind) + u"\r\n"_s;
            // Each entry is read whole, and its company looked up, before its
            // block is written: a failure never leaves half an entry.
            while (const std::optional<Entry> entry = section.next()) {
                const Company company = companies.find(entry->source).value_or(Company());
                appendEntry(text, *entry, company);
            }
            text += u"\r\n"_s + reportSectionEnd(kind) + u"\r\n\r\n"_s;
        }
        text += u"RAPOR BİTTİ\r\n"_s;
    } catch (const db::Error &error) {
        report.error = error;
    }
    return report;
}
