#include "ledger/MonthlyReport.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "ledger/Money.h"
#include "ledger/ProcessValues.h"
#include "ledger/Rapor.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"

#include <optional>

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

QString BuildMonthlyReport(int month, int year)
{
    const QString rule81(81, u'=');
    QString text = rule81 + u"\r\n"_s + g_strReportBanner + u"\r\n"_s + rule81 + u"\r\n"_s;
    try {
        db::Connection connection;
        std::optional<db::PreparedQuery> companyLookup; // prepared at the first entry, used for all
        for (const QString &kind : {u"Gelir"_s, u"Gider"_s}) {
            QString statement = db::format(sql::kRaporHareketleri, kind);
            if (month > 0)
                statement += db::format(sql::kRaporAy, month);
            if (year > 0)
                statement += db::format(sql::kRaporYil, year);
            db::Rows entries = connection.query(statement);
            text += reportSectionStart(kind) + u"\r\n"_s;
            const bool expense = kind == u"Gider"_s;
            for (; !entries.atEnd(); entries.moveNext()) {
                const QString source = entries.text("IslemKaynagi");
                QString address, taxOffice, taxNumber;
                if (!companyLookup)
                    companyLookup.emplace(connection.prepare(sql::kFirmaAdiyla));
                {
                    db::Rows company = companyLookup->query(source);
                    if (!company.atEnd()) {
                        address = company.text("FirmaAdresi");
                        taxOffice = company.text("VergiDairesi");
                        taxNumber = company.text("VergiNumarasi");
                    }
                }
                // Everything is read before the block is written: a failed
                // read never leaves half an entry in the report.
                const QString amount = entries.text("IslemTutari");
                const QString currency = entries.text("TutarBirimi");
                const QString rate = entries.text("GecerliKur");
                const QString vatRate = entries.text("KdvOrani");
                const QString category = entries.text("IslemCesidi");
                const QString content = entries.text("IslemIcerigi");
                const QString note = entries.text("IslemNotu");
                const QString invoice = expense ? entries.text("FaturaNo") : QString();

                appendRow(text, u"İşlem Kaynağı: "_s, source);
                appendRow(text, u"Firma Adresi: "_s, address);
                appendRow(text, u"Vergi Dairesi: "_s, taxOffice);
                appendRow(text, u"Vergi Numarası: "_s, taxNumber);
                appendRow(text, u"İşlem Tutarı: "_s, reportAmount(amount, currency, rate));
                appendRow(text, u"KDV Oranı: "_s, vatRate);
                appendRow(text, u"İşlem Türü: "_s, category);
                appendRow(text, u"İşlem İçeriği: "_s, content);
                appendRow(text, u"İşlem Notu: "_s, note);
                if (expense)
                    appendRow(text, u"Fatura Numarası: "_s, invoice);
                text += QString(80, u'=') + u"\r\n"_s;
            }
            text += u"\r\n"_s + reportSectionEnd(kind) + u"\r\n\r\n"_s;
        }
        text += u"RAPOR BİTTİ\r\n"_s;
    } catch (const db::Error &error) {
        db::showError(error);
    }
    return text;
}

void showMonthlyReport(QWidget *owner, int month, const QString &yearText)
{
    if (month >= 1 && month <= 12)
        g_strReportMonthName = reportMonthName(month);
    g_strReportBanner = reportBanner(g_strReportMonthName, yearText);
    g_strReportText = BuildMonthlyReport(month, yearText.toInt());
    Rapor dialog(owner);
    Desktop::current().runModal(dialog);
}
