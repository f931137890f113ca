#include "exchange/Bulletin.h"

#include "data/Money.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

// Two weeks cover the longest run of holidays the bank has had between two bulletins.
constexpr int kLatestDays = 14;

bool looksLikeHtml(QByteArrayView bytes)
{
    const QByteArray start = bytes.first(std::min<qsizetype>(bytes.size(), 512)).toByteArray().trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html") || start.contains("<html");
}

// The values a currency's element holds, read as texts first: a bad one refuses the bulletin whole.
struct CurrencyTexts
{
    QString code;
    QString unit;
    QString rates[4]; // in RateKind's order
};

constexpr QLatin1StringView kRateNames[] = {"ForexBuying"_L1, "ForexSelling"_L1, "BanknoteBuying"_L1,
                                            "BanknoteSelling"_L1};

std::optional<CurrencyRates> ratesOf(const CurrencyTexts &texts)
{
    bool ok = false;
    const int unit = texts.unit.trimmed().isEmpty() ? 1 : texts.unit.trimmed().toInt(&ok);
    if ((!ok && !texts.unit.trimmed().isEmpty()) || unit <= 0 || texts.code.isEmpty())
        return std::nullopt;
    CurrencyRates rates;
    rates.code = texts.code;
    for (int i = 0; i < 4; ++i) {
        const auto rate = perUnitRate(texts.rates[i], unit);
        if (!rate)
            return std::nullopt;
        rates.perUnit[size_t(i)] = *rate;
    }
    return rates;
}

// "05.12.2026" (Tarih) and "12/05/2026" (Date), which must agree when both are there.
std::optional<QDate> bulletinDate(const QXmlStreamAttributes &attributes)
{
    const QDate tarih = QDate::fromString(attributes.value("Tarih"_L1).toString().trimmed(), u"dd.MM.yyyy"_s);
    if (!tarih.isValid())
        return std::nullopt;
    if (attributes.hasAttribute("Date"_L1)) {
        const QDate date = QDate::fromString(attributes.value("Date"_L1).toString().trimmed(), u"MM/dd/yyyy"_s);
        if (date != tarih)
            return std::nullopt;
    }
    return tarih;
}

} // namespace

std::optional<qint64> perUnitRate(QStringView text, int unit)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return qint64(0);
    if (unit <= 0)
        return std::nullopt;
    // Whole digits, then at most one separator and up to ten decimals: exact, no locale, no double.
    ledger::WideKurus value = 0;
    int decimals = -1;
    int digits = 0;
    for (const QChar c : trimmed) {
        if ((c == u'.' || c == u',') && decimals < 0) {
            decimals = 0;
        } else if (c.isDigit() && c.unicode() < 128) {
            if (++digits > 18 || (decimals >= 0 && ++decimals > 10))
                return std::nullopt;
            value = value * 10 + (c.unicode() - u'0');
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    ledger::WideKurus scale = 1;
    for (int i = 0; i < std::max(decimals, 0); ++i)
        scale *= 10;
    // value / scale lira for `unit` units, in millionths per unit, rounded half up.
    const ledger::WideKurus divisor = scale * unit;
    return qint64((value * 1'000'000 * 2 + divisor) / (divisor * 2));
}

std::variant<Bulletin, BulletinFault> readBulletin(QByteArrayView xml, const QDate &asked, AskedDay how)
{
    if (xml.trimmed().isEmpty())
        return BulletinFault::Empty;
    if (looksLikeHtml(xml))
        return BulletinFault::HtmlPage;
    QXmlStreamReader reader(xml.toByteArray());
    if (!reader.readNextStartElement())
        return reader.error() == QXmlStreamReader::PrematureEndOfDocumentError ? BulletinFault::Cut
                                                                               : BulletinFault::Malformed;
    if (reader.name().compare("html"_L1, Qt::CaseInsensitive) == 0)
        return BulletinFault::HtmlPage;
    if (reader.name() != "Tarih_Date"_L1)
        return BulletinFault::Malformed;
    const std::optional<QDate> date = bulletinDate(reader.attributes());
    if (!date)
        return BulletinFault::Malformed;

    Bulletin bulletin;
    bulletin.date = *date;
    bool badRate = false;
    while (reader.readNextStartElement()) {
        if (reader.name() != "Currency"_L1) {
            reader.skipCurrentElement();
            continue;
        }
        CurrencyTexts texts;
        texts.code = reader.attributes().value("CurrencyCode"_L1).toString().trimmed();
        if (texts.code.isEmpty())
            texts.code = reader.attributes().value("Kod"_L1).toString().trimmed();
        while (reader.readNextStartElement()) {
            const QStringView name = reader.name();
            QString *into = name == "Unit"_L1 ? &texts.unit : nullptr;
            for (int i = 0; i < 4 && !into; ++i)
                into = name == kRateNames[i] ? &texts.rates[i] : nullptr;
            if (into)
                *into = reader.readElementText();
            else
                reader.skipCurrentElement();
        }
        if (reader.hasError())
            break;
        if (const auto rates = ratesOf(texts))
            bulletin.currencies.push_back(*rates);
        else
            badRate = true;
    }
    if (reader.hasError())
        return reader.error() == QXmlStreamReader::PrematureEndOfDocumentError ? BulletinFault::Cut
                                                                               : BulletinFault::Malformed;
    // Anything after the root's end is not the bank's.
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() || reader.hasError())
            return BulletinFault::Malformed;
    }
    if (badRate)
        return BulletinFault::BadRate;
    if (bulletin.currencies.empty())
        return BulletinFault::Malformed;
    const bool dateFits = how == AskedDay::Exactly
                              ? bulletin.date == asked
                              : bulletin.date <= asked && bulletin.date >= asked.addDays(-kLatestDays);
    if (!dateFits)
        return BulletinFault::OtherDate;
    return bulletin;
}

} // namespace exchange
