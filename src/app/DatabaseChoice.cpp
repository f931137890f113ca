#include "app/DatabaseChoice.h"

#include "platform/AppInfo.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "ui_ServerPasswordDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// Given once per run, for the server it was given for.
struct GivenPassword
{
    QString server;
    QString password;
};
std::optional<GivenPassword> givenPassword;

QSettings settings()
{
    return QSettings(u"Local AppWizard-Generated Applications"_s, appinfo::title());
}

} // namespace

DatabaseChoice DatabaseChoice::stored()
{
    QSettings stored = settings();
    stored.beginGroup(u"Database"_s);
    DatabaseChoice choice;
    choice.server = stored.value(u"Engine"_s).toString() == u"postgresql"_s;
    choice.address.host = stored.value(u"Host"_s).toString();
    choice.address.port = stored.value(u"Port"_s, 5432).toInt();
    choice.address.database = stored.value(u"Name"_s).toString();
    choice.address.user = stored.value(u"User"_s).toString();
    const int tls = stored.value(u"Tls"_s, 0).toInt();
    choice.address.tls = tls >= 0 && tls <= 2 ? core::ServerAddress::Tls(tls) : core::ServerAddress::Tls::Prefer;
    return choice;
}

void DatabaseChoice::store() const
{
    QSettings stored = settings();
    stored.beginGroup(u"Database"_s);
    stored.setValue(u"Engine"_s, server ? u"postgresql"_s : u"file"_s);
    stored.setValue(u"Host"_s, address.host);
    stored.setValue(u"Port"_s, address.port);
    stored.setValue(u"Name"_s, address.database);
    stored.setValue(u"User"_s, address.user);
    stored.setValue(u"Tls"_s, int(address.tls));
}

std::optional<core::ServerAddress> chooseDatabaseAtStart(const QStringList &arguments)
{
    if (const QString url = qEnvironmentVariable("NORVA_DATABASE_URL"); !url.isEmpty()) {
        db::Database::choose(db::Database::server(url));
    } else if (arguments.contains(u"--server"_s)) {
        db::Database::choose(db::Database::server(QString()));
    } else if (const DatabaseChoice choice = DatabaseChoice::stored(); choice.server) {
        db::Database::choose(serverAt(choice.address));
        return choice.address;
    }
    return std::nullopt;
}

db::Database serverAt(const core::ServerAddress &address)
{
    const QString bare = address.connection();
    return db::Database::server(
        givenPassword && givenPassword->server == bare ? address.connection(givenPassword->password) : bare);
}

namespace {

// Asks for the server's password; nothing when cancelled.
std::optional<QString> askServerPassword(QWidget *owner, const QString &server, bool refused)
{
    QDialog dialog(owner);
    Ui::ServerPasswordDialog ui;
    ui.setupUi(&dialog);
    ui.aciklama->setText(
        (refused ? u"Sunucu parolayı kabul etmedi. "_s : QString()) +
        u"%1 için parolanızı yazın. Parola bu oturum boyunca hatırlanır, hiçbir yere kaydedilmez."_s.arg(server));
    QObject::connect(ui.dugmeler, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(ui.dugmeler, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (Desktop::current().runModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return ui.parola->text();
}

} // namespace

core::Server::Outcome whileWindowWaits(const std::function<core::Server::Outcome()> &step)
{
    core::Server::Outcome outcome;
    QEventLoop waiting;
    std::unique_ptr<QThread> worker(QThread::create([&outcome, &step] { outcome = step(); }));
    QObject::connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    worker->start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    QApplication::restoreOverrideCursor();
    return outcome;
}

core::Server::Outcome withPassword(QWidget *owner, db::Database &server,
                                   const std::optional<core::ServerAddress> &address, const ServerStep &step)
{
    for (;;) {
        const core::Server::Outcome outcome = whileWindowWaits([&server, &step] { return step(server); });
        using Refusal = core::Server::Refusal;
        const Refusal why = outcome.result.refusal;
        if (!address || !outcome.result.isRefused() || (why != Refusal::NeedsPassword && why != Refusal::WrongPassword))
            return outcome;
        const std::optional<QString> password =
            askServerPassword(owner, server.shownName(), why == Refusal::WrongPassword);
        if (!password)
            return {core::Result<core::Server::Refusal>::refused(why)};
        givenPassword = GivenPassword{address->connection(), *password};
        server = db::Database::server(address->connection(*password));
    }
}

bool useServer(QWidget *owner, const db::Database &server, const std::optional<core::ServerAddress> &address)
{
    db::Database candidate = server;
    const core::Server::Outcome outcome = withPassword(owner, candidate, address, &core::Server::use);
    if (outcome.result.isDone())
        return true;
    const core::Server::Refusal why = outcome.result.refusal;
    // A password prompt the user cancelled needs no box.
    if (!address || (why != core::Server::Refusal::NeedsPassword && why != core::Server::Refusal::WrongPassword))
        Desktop::current().applicationBox(serverRefusalText(outcome), Desktop::Icon::Error);
    return false;
}

QString serverRefusalText(const core::Server::Outcome &outcome)
{
    using Refusal = core::Server::Refusal;
    const QString detail = outcome.detail.isEmpty() ? QString() : u"\n\n(%1)"_s.arg(outcome.detail);
    switch (outcome.result.refusal) {
    case Refusal::NotReached: return db::serverReason(db::ErrorKind::CannotOpen) + detail;
    case Refusal::NeedsPassword:
        return u"Sunucu bir parola istiyor. Parolayı ~/.pgpass dosyanıza yazın ya da bağlantıyı "
               u"\"Veritabanı Bağlantısı\" penceresinden kurun."_s;
    case Refusal::WrongPassword: return db::serverReason(db::ErrorKind::BadPassword);
    case Refusal::NoDatabase: return db::serverReason(db::ErrorKind::NoSuchDatabase) + detail;
    case Refusal::NoRights: return db::serverReason(db::ErrorKind::Denied) + detail;
    case Refusal::NewerLayout:
        return u"Sunucudaki kayıtlar programın daha yeni bir sürümüyle düzenlenmiş (sürüm %1, bu programın tanıdığı en "
               u"son sürüm %2). Sunucuya dokunulmadı; lütfen programın yeni sürümünü kullanın."_s
                   .arg(outcome.newerVersion)
                   .arg(outcome.knownVersion);
    case Refusal::HasRecords:
        return u"Sunucudaki veritabanında zaten kayıt var. Dosya yalnızca boş bir veritabanına aktarılabilir; "
               u"sunucudaki kayıtlara dokunulmadı."_s;
    case Refusal::Other: break;
    }
    return u"Sunucuya bağlanılamadı."_s + detail;
}

QString recordsPlace()
{
    const db::Database current = db::Database::current();
    if (current.isServer())
        return u"Kayıtlar sunucuda: %1"_s.arg(current.shownName());
    return u"Kayıt klasörü: %1"_s.arg(QDir::toNativeSeparators(QFileInfo(db::fileName()).absolutePath()));
}
