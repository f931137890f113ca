#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh working directory (so Norva.db starts empty) and a fresh settings
// folder for one test case; the previous directory comes back afterwards.
class Workspace
{
public:
    explicit Workspace(bool withSchema = true);
    ~Workspace();

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Runs statements outside the program's routine, for setting up cases (NULLs,
// dropped tables) the program itself never makes, and for reading back what
// it stored: each row's values joined by '|', a NULL as "<NULL>".
QStringList rawRows(const QString &statements);
void rawExec(const char *statement);

// Writes a file whole, for files the program did not make (a damaged database, say).
void writeFile(const QString &path, const QByteArray &bytes);

// A file under tests/, read whole; a missing one ends the test run.
QByteArray testData(const QString &path);
