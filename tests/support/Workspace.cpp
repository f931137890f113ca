#include "Workspace.h"

#include "data/Database.h"
#include "data/Dialect.h"

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

// Runs `statements` on the server, the rows of every one of them joined as rawRows gives them. With
// `followed`, every table then gives RowIds past those the statements wrote, as SQLite's do.
QStringList serverRows(const QString &statements, const QString &connection, bool followed = false)
{
    PGconn *server = PQconnectdb(connection.toUtf8().constData());
    if (PQstatus(server) != CONNECTION_OK)
        qFatal("no server: %s", PQerrorMessage(server));
    PQsetClientEncoding(server, "UTF8");
    QStringList rows;
    QString error;
    const QByteArray made = db::dialect::schemaStatements(db::Database::Engine::Postgres, statements.toUtf8());
    PQsendQuery(server, made.constData());
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
    if (followed) {
        PGresult *tables = PQexec(server, "SELECT table_name FROM information_schema.columns WHERE table_schema = "
                                          "current_schema() AND column_name = 'rowid' AND is_identity = 'YES'");
        QByteArray follow;
        for (int r = 0; r < PQntuples(tables); ++r)
            follow += db::dialect::followRowIds(db::Database::Engine::Postgres, PQgetvalue(tables, r, 0)) + ';';
        PQclear(tables);
        PQclear(PQexec(server, follow.constData()));
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
        return serverRows(statements, serverConnection(), true);
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

void rawExec(const QString &statement)
{
    rawRows(statement);
}

QString refusal(const QString &name, const QString &table, const QString &event, const QString &message,
                const QString &condition)
{
    if (onServer()) {
        return u"CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF %5 THEN RAISE EXCEPTION '%4' "
               u"USING ERRCODE = '23000'; END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END$$; "
               u"CREATE TRIGGER %1 BEFORE %3 ON %2 FOR EACH ROW EXECUTE FUNCTION %1()"_s.arg(
                   name, table, event, message, condition.isEmpty() ? u"true"_s : condition);
    }
    return u"CREATE TRIGGER %1 BEFORE %3 ON %2 %5 BEGIN SELECT RAISE(ABORT, '%4'); END"_s.arg(
        name, table, event, message, condition.isEmpty() ? QString() : u"WHEN "_s + condition);
}

QString dropRefusal(const QString &name)
{
    return (onServer() ? u"DROP FUNCTION %1() CASCADE"_s : u"DROP TRIGGER %1"_s).arg(name);
}

QString joined(const QString &expression, const QString &separator)
{
    return (onServer() ? u"string_agg(CAST(%1 AS text), '%2')"_s : u"group_concat(%1, '%2')"_s)
        .arg(expression, separator);
}

bool databaseMade()
{
    return onServer() ? !tableNames().isEmpty() : QFile::exists(db::fileName());
}

QString noSuchTable(const QString &table)
{
    return onServer() ? u"relation \"%1\" does not exist"_s.arg(table.toLower()) : u"no such table: "_s + table;
}

QString noSuchColumn(const QString &column)
{
    return onServer() ? u"column \"%1\" does not exist"_s.arg(column.toLower()) : u"no such column: "_s + column;
}

QString layoutVersion(int version)
{
    if (onServer())
        return version < 0 ? u"SELECT Version FROM NorvaVersion"_s
                           : u"UPDATE NorvaVersion SET Version = %1"_s.arg(version);
    return version < 0 ? u"PRAGMA user_version"_s : u"PRAGMA user_version = %1"_s.arg(version);
}

// The server's own table of the layout's version is left out, as SQLite keeps it in the file's header.
QStringList tableNames()
{
    return rawRows(onServer() ? u"SELECT table_name FROM information_schema.tables WHERE table_schema = "
                                u"current_schema() AND table_name <> 'norvaversion' ORDER BY 1"_s
                              : u"SELECT lower(name) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                u"'sqlite%' ORDER BY 1"_s);
}

QStringList columnNames(const QString &table)
{
    return rawRows((onServer() ? u"SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                 u"current_schema() AND table_name = lower('%1') ORDER BY ordinal_position"_s
                               : u"SELECT lower(name) FROM pragma_table_info('%1')"_s)
                       .arg(table));
}

QStringList indexNames(const QString &table)
{
    return rawRows((onServer() ? u"SELECT c.relname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid WHERE "
                                 u"i.indrelid = to_regclass('%1') AND NOT i.indisprimary ORDER BY 1"_s
                               : u"SELECT lower(name) FROM pragma_index_list('%1') WHERE origin <> 'pk' ORDER BY 1"_s)
                       .arg(table));
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
