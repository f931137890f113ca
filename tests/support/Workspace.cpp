#include "Workspace.h"

#include "data/Database.h"

#include <QDir>
#include <QSettings>
#include <QtTest>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString currentSchema;

// Runs `statements` on the server, the rows of every one of them joined as rawRows gives them.
QStringList serverRows(const QString &statements, const QString &connection)
{
    PGconn *server = PQconnectdb(connection.toUtf8().constData());
    if (PQstatus(server) != CONNECTION_OK)
        qFatal("no server: %s", PQerrorMessage(server));
    PQsetClientEncoding(server, "UTF8");
    QStringList rows;
    QString error;
    PQsendQuery(server, statements.toUtf8().constData());
    while (PGresult *result = PQgetResult(server)) {
        if (PQresultStatus(result) == PGRES_FATAL_ERROR)
            error = QString::fromUtf8(PQresultErrorMessage(result));
        for (int r = 0; r < PQntuples(result); ++r) {
            QStringList row;
            for (int c = 0; c < PQnfields(result); ++c)
                row << (PQgetisnull(result, r, c) ? u"<NULL>"_s : QString::fromUtf8(PQgetvalue(result, r, c)));
            rows.append(row.join(u'|'));
        }
        PQclear(result);
    }
    PQfinish(server);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return rows;
}

} // namespace

bool onServer()
{
    return qEnvironmentVariable("NORVA_TEST_ENGINE") == u"postgres"_s;
}

QString serverConnection()
{
    return u"options='-csearch_path=%1'"_s.arg(currentSchema);
}

Workspace::Workspace(bool withSchema) : m_previous(QDir::currentPath())
{
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    QDir(m_dir.path()).mkdir(u"settings"_s);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + u"/settings"_s);
    if (onServer()) {
        static int made = 0;
        m_schema = u"norva_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++made);
        serverRows(u"CREATE SCHEMA %1"_s.arg(m_schema), QString());
        currentSchema = m_schema;
        db::Database::choose(db::Database::server(serverConnection()));
    }
    if (withSchema)
        QVERIFY(db::ensureSchema());
}

Workspace::~Workspace()
{
    QDir::setCurrent(m_previous);
    if (!m_schema.isEmpty()) {
        db::Database::choose(db::Database::file(db::fileName()));
        serverRows(u"DROP SCHEMA %1 CASCADE"_s.arg(m_schema), QString());
        currentSchema.clear();
    }
}

QStringList rawRows(const QString &statements, const QString &file)
{
    if (onServer() && file == db::fileName())
        return serverRows(statements, serverConnection());
    QStringList rows;
    const auto addRow = [](void *rows, int count, char **values, char **) {
        QStringList row;
        for (int i = 0; i < count; ++i)
            row << QString::fromUtf8(values[i] ? values[i] : "<NULL>");
        static_cast<QStringList *>(rows)->append(row.join(u'|'));
        return 0;
    };
    sqlite3 *handle = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &handle) != SQLITE_OK)
        qFatal("%s cannot be opened", qPrintable(file));
    char *message = nullptr;
    const int rc = sqlite3_exec(handle, statements.toUtf8().constData(), addRow, &rows, &message);
    const QString error = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(handle);
    if (rc != SQLITE_OK)
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return rows;
}

void rawExec(const char *statement)
{
    rawRows(QString::fromUtf8(statement));
}

void spoilFirstRow(const QString &table, const QString &column)
{
    rawRows(u"CREATE TABLE Eski AS SELECT * FROM %1; DROP TABLE %1; ALTER TABLE Eski RENAME TO %1;"
            "UPDATE %1 SET %2 = NULL WHERE RowId = 1"_s.arg(table, column));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString testDataPath(const QString &path)
{
    return QStringLiteral(NORVA_TESTS_DIR "/") + path;
}

QByteArray testData(const QString &path)
{
    QFile file(testDataPath(path));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no test data %s", qPrintable(path));
    return file.readAll();
}

QList<QStringList> caseRows(const QString &path)
{
    QList<QStringList> rows;
    for (QString line : QString::fromUtf8(testData(path)).split(u'\n'))
        if (!line.isEmpty() && !line.startsWith(u'#'))
            rows.append(line.replace(u"\\n"_s, u"\n"_s).split(u'\t'));
    return rows;
}

int inChildWithoutRoot(const std::function<int()> &work)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        _exit(work());
    }
    int status = -1;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
