#pragma once

#include "exchange/Bulletin.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace exchange {

// Why no bulletin came back.
enum class FetchFailure {
    None,
    AddressRefused, // the address is neither HTTPS nor the tests' http://127.0.0.1
    NoNetwork,      // no connection to the host (no network, no name, refused)
    Timeout,        // no whole answer within the time given
    HttpStatus,     // an answer other than 200 or 404: `status`
    Redirected,     // sent to another host, or off HTTPS
    TooLarge,       // far more bytes than any bulletin has
    Unreadable,     // an answer that is no bulletin of the day: `fault`
};

struct FetchAnswer
{
    enum class Kind {
        Bulletin,   // `bulletin`, read and checked
        NoBulletin, // the archive has none for that day (404): a weekend or a holiday
        Failed,     // `failure`
    };
    Kind kind = Kind::Failed;
    Bulletin bulletin = {};
    FetchFailure failure = FetchFailure::None;
    BulletinFault fault = BulletinFault::Empty; // for Unreadable
    int status = 0;                             // for HttpStatus
};

// The address of a day's bulletin under `base` ("https://www.tcmb.gov.tr/kurlar/"): today.xml for
// the latest, YYYYMM/DDMMYYYY.xml for a day of the archive.
QUrl bulletinAddress(const QUrl &base, const QDate &day, bool latest);
// Whether the program may ask `base` at all: HTTPS, or plain HTTP to 127.0.0.1 (the tests' own server).
bool isAllowedBase(const QUrl &base);

// Fetches one bulletin at a time, in the background, with Qt Network: never blocks the caller.
// Redirects are followed only to the same host over HTTPS.
class BulletinFetcher : public QObject
{
    Q_OBJECT
public:
    BulletinFetcher(const QUrl &base, int timeoutMs, QObject *parent = nullptr);
    ~BulletinFetcher() override;

    // Asks for the bulletin of `day`; `latest` asks today.xml, which holds the last one out.
    // answered() follows once, also for a refused address. A fetch still running is dropped.
    void fetch(const QDate &day, bool latest);
    void cancel(); // nothing is answered for the fetch dropped

signals:
    void answered(const exchange::FetchAnswer &answer);

private:
    void finish(QNetworkReply *reply, const QDate &day, bool latest);
    void fail(FetchFailure failure);

    QUrl m_base;
    int m_timeoutMs;
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    FetchFailure m_abortedFor = FetchFailure::None; // why the reply running was aborted by us
};

} // namespace exchange

Q_DECLARE_METATYPE(exchange::FetchAnswer)
