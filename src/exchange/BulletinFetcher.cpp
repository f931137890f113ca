#include "exchange/BulletinFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

// A bulletin is some 10 kB; a hundred times that is no bulletin.
constexpr qint64 kMaxBytes = 1024 * 1024;

} // namespace

QUrl bulletinAddress(const QUrl &base, const QDate &day, bool latest)
{
    QUrl folder = base;
    if (!folder.path().endsWith(u'/'))
        folder.setPath(folder.path() + u'/');
    return folder.resolved(
        QUrl(latest ? u"today.xml"_s : day.toString(u"yyyyMM"_s) + u'/' + day.toString(u"ddMMyyyy"_s) + u".xml"_s));
}

bool isAllowedBase(const QUrl &base)
{
    if (!base.isValid() || base.host().isEmpty())
        return false;
    return base.scheme() == u"https"_s || (base.scheme() == u"http"_s && base.host() == u"127.0.0.1"_s);
}

BulletinFetcher::BulletinFetcher(const QUrl &base, int timeoutMs, QObject *parent)
    : QObject(parent), m_base(base), m_timeoutMs(timeoutMs)
{}

BulletinFetcher::~BulletinFetcher()
{
    cancel();
}

void BulletinFetcher::cancel()
{
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void BulletinFetcher::fail(FetchFailure failure)
{
    FetchAnswer answer;
    answer.failure = failure;
    // Answered from the event loop, as a fetch that went out would be: the caller is never re-entered.
    QTimer::singleShot(0, this, [this, answer] { emit answered(answer); });
}

void BulletinFetcher::fetch(const QDate &day, bool latest)
{
    cancel();
    if (!isAllowedBase(m_base)) {
        fail(FetchFailure::AddressRefused);
        return;
    }
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(bulletinAddress(m_base, day, latest));
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    m_abortedFor = FetchFailure::None;
    const QString host = m_base.host();
    connect(reply, &QNetworkReply::redirected, this, [this, reply, host](const QUrl &to) {
        if (to.scheme() == u"https"_s && to.host() == host) {
            emit reply->redirectAllowed();
            return;
        }
        m_abortedFor = FetchFailure::Redirected;
        reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > kMaxBytes && m_abortedFor == FetchFailure::None) {
            m_abortedFor = FetchFailure::TooLarge;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, day, latest] { finish(reply, day, latest); });
}

void BulletinFetcher::finish(QNetworkReply *reply, const QDate &day, bool latest)
{
    reply->deleteLater();
    if (m_reply != reply)
        return;
    m_reply = nullptr;
    FetchAnswer answer;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_abortedFor != FetchFailure::None) {
        answer.failure = m_abortedFor;
    } else if (status == 404 && !latest) {
        answer.kind = FetchAnswer::Kind::NoBulletin;
    } else if (status != 0 && status != 200) {
        answer.failure = FetchFailure::HttpStatus;
        answer.status = status;
    } else if (reply->error() == QNetworkReply::OperationCanceledError ||
               reply->error() == QNetworkReply::TimeoutError) {
        answer.failure = FetchFailure::Timeout; // the transfer timeout aborts the reply
    } else if (reply->error() != QNetworkReply::NoError) {
        answer.failure = FetchFailure::NoNetwork;
    } else {
        const auto read = readBulletin(reply->readAll(), day, latest ? AskedDay::OnOrBefore : AskedDay::Exactly);
        if (const auto *bulletin = std::get_if<Bulletin>(&read)) {
            answer.kind = FetchAnswer::Kind::Bulletin;
            answer.bulletin = *bulletin;
        } else {
            answer.failure = FetchFailure::Unreadable;
            answer.fault = std::get<BulletinFault>(read);
        }
    }
    emit answered(answer);
}

} // namespace exchange
