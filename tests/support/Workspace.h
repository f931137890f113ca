#pragma once

#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// Whether the cases run on a PostgreSQL server: NORVA_TEST_ENGINE=postgres, with the server the
// PG* variables name (pg_virtualenv sets them). The suite runs once on each engine.
bool onServer();
// Skips a case that is about the file itself (its copies, its damage, its permissions) on a server.
#define SKIP_ON_SERVER()                                                                                               \
    do {                                                                                                               \
        if (onServer())                                                                                                \
            QSKIP("the file's own");                                                                                   \
    } while (false)

// A fresh working directory (so Norva.db starts empty) and a fresh settings
// folder for one test case; the previous directory comes back afterwards. On a
// server, a fresh schema of its own in the server's database instead of Norva.db.
class Workspace
{
public:
    explicit Workspace(bool withSchema = true);
    ~Workspace();

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    QString m_schema; // on a server
};

// Another connection to the database the current workspace uses (a second desk, say).
QString serverConnection();

// Runs statements outside the program's routine, for setting up cases (NULLs,
// dropped tables) the program itself never makes, and for reading back what
// it stored: each row's values joined by '|', a NULL as "<NULL>". Another file may be named;
// Norva.db is the workspace's server schema on a server, where a table made with
// "INTEGER PRIMARY KEY AUTOINCREMENT" gets an identity RowId, and every table then gives
// RowIds past those the statements wrote.
QStringList rawRows(const QString &statements, const QString &file = QStringLiteral("Norva.db"));
void rawExec(const char *statement);
void rawExec(const QString &statement);

// What the engines word differently, for rawRows. A trigger `name` on `table` that refuses an `event`
// ("INSERT", "UPDATE", "DELETE") as a constraint would, with `message`, where `condition` (over NEW or
// OLD) holds; and the statement dropping it again.
QString refusal(const QString &name, const QString &table, const QString &event, const QString &message,
                const QString &condition = {});
QString dropRefusal(const QString &name);
// The values of `expression` over the rows, joined by `separator`, in the order the rows come.
QString joined(const QString &expression, const QString &separator);
// Whether the database is made: Norva.db, or on a server the layout's tables.
bool databaseMade();
// The engine's own words for a table, or a column, that is not there.
QString noSuchTable(const QString &table);
QString noSuchColumn(const QString &column);
// The layout's version; with `version`, the statement setting it.
QString layoutVersion(int version = -1);
// The layout's tables, or a table's columns in order, or its indexes (its primary key's aside) by name:
// in lower case, as a server folds names.
QStringList tableNames();
QStringList columnNames(const QString &table);
QStringList indexNames(const QString &table);

// Makes `table` a copy of itself as another program would keep it (no constraints) and empties `column`
// of its first row: a record the program cannot read.
void spoilFirstRow(const QString &table, const QString &column);

// Writes a file whole, for files the program did not make (a damaged database, say).
void writeFile(const QString &path, const QByteArray &bytes);

// A file read whole; empty when it cannot be read.
QByteArray readFile(const QString &path);

// A file under tests/, read whole (a missing one ends the test run), and its full path.
QByteArray testData(const QString &path);
QString testDataPath(const QString &path);
// The cases of a .tsv file under tests/, a row each: its tab-separated values, "\n" in one a line end.
// Blank lines and lines starting with '#' are left out.
QList<QStringList> caseRows(const QString &path);

// The error a step raises; a step that succeeds gives a description no check accepts.
template <typename Step>
db::Error errorOf(Step step)
{
    try {
        step();
    } catch (const db::Error &e) {
        return e;
    }
    return {QStringLiteral("(no error)"), QStringLiteral("(no error)"), db::ErrorKind::Other,
            db::Failure::ValueNotRead};
}

// Runs `work` in a child process that first gives up root (root may write anywhere) and gives
// the code it returned; 10 when root could not be given up, -1 when the child did not exit.
int inChildWithoutRoot(const std::function<int()> &work);
