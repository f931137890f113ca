#include "ledger/RateField.h"

#include "data/Money.h"
#include "platform/AppInfo.h"
#include "platform/DatabaseErrors.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace ledger {

namespace {

constexpr QLatin1StringView kKindNames[] = {"ForexBuying"_L1, "ForexSelling"_L1, "BanknoteBuying"_L1,
                                            "BanknoteSelling"_L1};

QString kindText(RateKind kind)
{
    switch (kind) {
    case RateKind::ForexBuying: return u"döviz alış"_s;
    case RateKind::ForexSelling: return u"döviz satış"_s;
    case RateKind::BanknoteBuying: return u"efektif alış"_s;
    case RateKind::BanknoteSelling: return u"efektif satış"_s;
    }
    return {};
}

QString faultText(exchange::BulletinFault fault)
{
    switch (fault) {
    case exchange::BulletinFault::Empty: return u"gelen yanıt boş"_s;
    case exchange::BulletinFault::HtmlPage: return u"gelen yanıt kur bülteni değil, bir web sayfası"_s;
    case exchange::BulletinFault::Cut: return u"gelen bülten yarım kalmış"_s;
    case exchange::BulletinFault::Malformed: return u"gelen yanıt okunabilir bir kur bülteni değil"_s;
    case exchange::BulletinFault::BadRate: return u"bültendeki bir kur sayı değil"_s;
    case exchange::BulletinFault::OtherDate: return u"gelen bülten istenen günün değil"_s;
    }
    return {};
}

} // namespace

core::RateSource storedRateSource()
{
    QSettings stored(u"Local AppWizard-Generated Applications"_s, appinfo::title());
    stored.beginGroup(u"ExchangeRates"_s);
    core::RateSource source;
    source.address = QUrl(stored.value(u"Address"_s, source.address.toString()).toString());
    const QString kind = stored.value(u"Rate"_s, kKindNames[0]).toString();
    for (int i = 0; i < 4; ++i)
        if (kind == kKindNames[i])
            source.kind = RateKind(i);
    source.timeoutMs = std::max(1, stored.value(u"TimeoutMs"_s, source.timeoutMs).toInt());
    return source;
}

QString bulletinText(const QDate &bulletinDay, const QDate &asked, RateKind kind)
{
    QString text = u"TCMB %1 %2"_s.arg(bulletinDay.toString(u"dd.MM.yyyy"_s), kindText(kind));
    if (bulletinDay != asked)
        text += u" (%1 için bülten yok)"_s.arg(asked.toString(u"dd.MM.yyyy"_s));
    return text;
}

QString fetchFailureText(const core::RateFetchReport &report, int timeoutMs)
{
    const QString day = report.failedDay.toString(u"dd.MM.yyyy"_s);
    QString why;
    switch (report.failure) {
    case core::RateFetchFailure::None: return {};
    case core::RateFetchFailure::NoneNearby:
        why = u"%1 ve önceki iki haftada yayımlanmış bülten bulunamadı"_s.arg(day);
        break;
    case core::RateFetchFailure::Database:
        why = u"bülten saklanamadı: "_s + (report.error ? db::describe(*report.error) : QString());
        break;
    case core::RateFetchFailure::Fetch:
        switch (report.answer.failure) {
        case exchange::FetchFailure::None: break;
        case exchange::FetchFailure::AddressRefused:
            why = u"kur adresi kabul edilmedi (yalnızca https:// adreslerine bağlanılır)"_s;
            break;
        case exchange::FetchFailure::NoNetwork: why = u"merkez bankasına bağlanılamadı (ağ bağlantısı yok)"_s; break;
        case exchange::FetchFailure::Timeout:
            why = u"merkez bankası %1 saniye içinde yanıt vermedi"_s.arg((timeoutMs + 999) / 1000);
            break;
        case exchange::FetchFailure::HttpStatus:
            why = u"merkez bankası %1 hatası verdi"_s.arg(report.answer.status);
            break;
        case exchange::FetchFailure::Redirected: why = u"yanıt başka bir adrese yönlendirildi"_s; break;
        case exchange::FetchFailure::TooLarge: why = u"gelen yanıt bir kur bülteni için fazla büyük"_s; break;
        case exchange::FetchFailure::Unreadable: why = faultText(report.answer.fault); break;
        }
        break;
    }
    return u"Kur getirilemedi (%1): %2."_s.arg(day, why);
}

RateField::RateField(QLineEdit *rate, QLabel *note, QPushButton *fetchButton, std::function<QDate()> day,
                     std::function<QString()> currency, QObject *parent)
    : QObject(parent), m_rate(rate), m_note(note), m_button(fetchButton), m_day(std::move(day)),
      m_currency(std::move(currency)), m_source(storedRateSource()), m_fetch(new core::RateFetch(m_source, this))
{
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    connect(m_rate, &QLineEdit::textEdited, this, [this] { m_proposed.clear(); });
    connect(m_button, &QPushButton::clicked, this, &RateField::fetchAgain);
    connect(m_fetch, &core::RateFetch::finished, this, &RateField::fetched);
    reset();
}

void RateField::reset()
{
    m_fetch->cancel();
    m_proposed.clear();
    say({});
    m_button->setEnabled(isForeign(m_currency()));
}

bool RateField::holdsProposal() const
{
    return !m_proposed.isEmpty() && m_rate->text() == m_proposed;
}

bool RateField::holdsNoRate() const
{
    const auto rate = parseRate(m_rate->text());
    return !rate || *rate == 0 || holdsProposal();
}

void RateField::propose()
{
    look(false);
}

void RateField::fetchAgain()
{
    look(true);
}

void RateField::look(bool onPurpose)
{
    m_fetch->cancel();
    const QString currency = m_currency();
    m_button->setEnabled(isForeign(currency));
    if (!isForeign(currency)) {
        withdraw({}); // a rate proposed for another currency goes with it
        return;
    }
    m_onPurpose = onPurpose;
    m_asked = m_day();
    if (!m_asked.isValid()) {
        withdraw(u"Tarih geçerli bir gün değil; kur getirilemedi."_s);
        return;
    }
    if (m_asked > QDate::currentDate()) {
        withdraw(u"%1 kuru henüz yayımlanmadı."_s.arg(m_asked.toString(u"dd.MM.yyyy"_s)));
        return;
    }
    try {
        if (const std::optional<KeptRate> kept = core::ExchangeRates(m_source.kind).kept(m_asked, currency)) {
            offer(*kept, m_asked);
            return;
        }
    } catch (const db::Error &error) {
        withdraw(u"Saklanan kurlar okunamadı: "_s + db::describe(error));
        return;
    }
    say(u"Kur getiriliyor…"_s);
    m_fetch->start({m_asked});
}

void RateField::fetched(const core::RateFetchReport &report)
{
    if (report.failure != core::RateFetchFailure::None) {
        withdraw(fetchFailureText(report, m_source.timeoutMs));
        return;
    }
    const QDate inForce = report.inForce.value(m_asked.toJulianDay());
    try {
        if (const std::optional<KeptRate> kept = core::ExchangeRates(m_source.kind).kept(inForce, m_currency())) {
            offer(*kept, m_asked);
            return;
        }
    } catch (const db::Error &error) {
        withdraw(u"Saklanan kurlar okunamadı: "_s + db::describe(error));
        return;
    }
    withdraw(u"TCMB %1 bülteninde %2 için %3 kuru yok."_s.arg(inForce.toString(u"dd.MM.yyyy"_s), m_currency(),
                                                              kindText(m_source.kind)));
}

void RateField::offer(const KeptRate &rate, const QDate &asked)
{
    const QString text = rateText(rate.perUnit);
    const QString source = bulletinText(rate.bulletinDay, asked, m_source.kind);
    if (!m_onPurpose && !holdsNoRate()) {
        say(source + u": "_s + text + u" (yazdığınız kur korundu)"_s);
        return;
    }
    m_rate->setText(text);
    m_proposed = text;
    say(source);
}

void RateField::withdraw(const QString &note)
{
    if (holdsProposal()) {
        m_rate->setText(u"0"_s);
        m_proposed.clear();
    }
    say(note);
}

void RateField::say(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

} // namespace ledger
