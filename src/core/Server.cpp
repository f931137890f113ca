#include "core/Server.h"

#include "data/Backup.h"
#include "data/Schema.h"
#include "data/ServerChecks.h"

using namespace Qt::StringLiterals;

namespace core {

namespace {

// libpq's quoting: a value in single quotes, its quotes and backslashes escaped.
QString quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s);
    return u'\'' + escaped + u'\'';
}

} // namespace

QString ServerAddress::connection(const QString &password) const
{
    static constexpr const char *kModes[] = {"prefer", "require", "verify-full"};
    QStringList settings;
    const auto add = [&settings](const char *keyword, const QString &value) {
        if (!value.isEmpty())
            settings << QString::fromLatin1(keyword) + u'=' + quoted(value);
    };
    add("host", host);
    add("port", QString::number(port));
    add("dbname", database);
    add("user", user);
    add("password", password);
    add("sslmode", QString::fromLatin1(kModes[int(tls)]));
    add("application_name", u"norva-rezado"_s);
    return settings.join(u' ');
}

Server::Outcome Server::refusedBy(const db::Error &error, const db::Database &server)
{
    Refusal why = Refusal::Other;
    switch (error.kind) {
    case db::ErrorKind::CannotOpen: why = Refusal::NotReached; break;
    case db::ErrorKind::BadPassword:
        why = server.connection.contains(u"password="_s) ? Refusal::WrongPassword : Refusal::NeedsPassword;
        break;
    case db::ErrorKind::NoSuchDatabase: why = Refusal::NoDatabase; break;
    case db::ErrorKind::Denied: why = Refusal::NoRights; break;
    default: break;
    }
    return {Result<Refusal>::refused(why), error.description};
}

Server::Outcome Server::test(const db::Database &server)
{
    try {
        db::Connection connection(server);
        const db::ServerState state = db::serverState(connection);
        if (state.version > schema::kCurrentVersion) {
            return {Result<Refusal>::refused(Refusal::NewerLayout), {}, state.version, schema::kCurrentVersion};
        }
        if (!state.mayWrite)
            return {Result<Refusal>::refused(Refusal::NoRights), state.refusedTable};
        return {Result<Refusal>::done()};
    } catch (const db::Error &error) {
        return refusedBy(error, server);
    }
}

Server::Outcome Server::use(const db::Database &server)
{
    Outcome tested = test(server);
    if (!tested.result.isDone())
        return tested;
    const db::Database previous = db::Database::current();
    db::Database::choose(server);
    db::FileFault refusal;
    try {
        db::prepareServer(server, &refusal);
    } catch (const db::Error &error) {
        db::Database::choose(previous);
        return refusedBy(error, server);
    }
    if (refusal) {
        db::Database::choose(previous);
        return {Result<Refusal>::refused(Refusal::NewerLayout), {}, refusal.version, refusal.newest};
    }
    return tested;
}

Server::Outcome Server::copyFile(const QString &file, const db::Database &server, Counts *copied)
{
    try {
        Outcome tested = test(server);
        if (!tested.result.isDone())
            return tested;
        db::FileFault fault;
        if (!db::bringUpToDate(file, file, &fault))
            return {Result<Refusal>::refused(Refusal::Other), fault.name};
        db::FileFault refusal;
        db::prepareServer(server, &refusal);
        if (refusal)
            return {Result<Refusal>::refused(Refusal::NewerLayout), {}, refusal.version, refusal.newest};
        db::Connection from(db::Database::file(file, true));
        db::Connection to(server);
        db::Transaction transaction(to);
        // Looked at under the write lock: a second desk may have begun meanwhile.
        if (db::holdsRecords(to))
            return {Result<Refusal>::refused(Refusal::HasRecords)};
        const Counts counts = db::copyRecords(from, to);
        transaction.commit();
        if (copied)
            *copied = counts;
        return {Result<Refusal>::done()};
    } catch (const db::Error &error) {
        return refusedBy(error, server);
    }
}

} // namespace core
