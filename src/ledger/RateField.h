#pragma once

#include "core/ExchangeRates.h"

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ledger {

// Where the rates come from, which of them an entry takes, and how long a fetch may wait: the
// program's settings (group "ExchangeRates": Address, Rate, TimeoutMs).
core::RateSource storedRateSource();

// "TCMB 05.12.2026 döviz alış", with "(06.12.2026 için bülten yok)" when the bulletin is of an
// earlier day than the one asked.
QString bulletinText(const QDate &bulletinDay, const QDate &asked, RateKind kind);
// Why no rate came ("Kur getirilemedi: ..."), from a fetch that stopped.
QString fetchFailureText(const core::RateFetchReport &report, int timeoutMs);

// The "Geçerli Kur" box of an entry's dialog with its "Kuru Getir" button and the note beside it.
// Choosing "Dolar" or "Euro", or another date with one of them chosen, proposes the rate in force
// on the entry's date: from the kept bulletins at once, otherwise fetched in the background. A
// proposal fills the box only while it holds no rate of the user's (empty, 0, or the last
// proposal untouched); "Kuru Getir" fills it on purpose. The note says which bulletin, or why none;
// a typed rate then stays as typed.
class RateField : public QObject
{
    Q_OBJECT
public:
    RateField(QLineEdit *rate, QLabel *note, QPushButton *fetchButton, std::function<QDate()> day,
              std::function<QString()> currency, QObject *parent);

    void propose();    // the currency or the date was chosen
    void fetchAgain(); // "Kuru Getir"
    // The box holds a stored or default rate again: no proposal in it, no note, no fetch running.
    void reset();
    bool holdsProposal() const; // the box shows a proposed rate, untouched since

private:
    void look(bool onPurpose);
    void fetched(const core::RateFetchReport &report);
    void offer(const KeptRate &rate, const QDate &asked);
    void say(const QString &note);
    // Says `note`; a proposal in the box, of another day or currency, goes back to "0".
    void withdraw(const QString &note);
    bool holdsNoRate() const;

    QLineEdit *m_rate;
    QLabel *m_note;
    QPushButton *m_button;
    std::function<QDate()> m_day;
    std::function<QString()> m_currency;
    core::RateSource m_source;
    core::RateFetch *m_fetch;
    QString m_proposed; // the text the box was last filled with, while untouched since
    bool m_onPurpose = false;
    QDate m_asked;
};

} // namespace ledger
