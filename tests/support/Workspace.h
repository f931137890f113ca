#pragma once

#include <QString>
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

// Runs one statement outside the program's routine, for setting up cases
// (NULLs, dropped tables) the program itself never makes.
void rawExec(const char *statement);
