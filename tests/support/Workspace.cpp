#include "Workspace.h"

#include "data/Database.h"

#include <QDir>
#include <QSettings>
#include <QtTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

Workspace::Workspace(bool withSchema) : m_previous(QDir::currentPath())
{
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    QDir(m_dir.path()).mkdir(u"settings"_s);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + u"/settings"_s);
    if (withSchema)
        QVERIFY(db::ensureSchema());
}

Workspace::~Workspace()
{
    QDir::setCurrent(m_previous);
}

void rawExec(const char *statement)
{
    sqlite3 *handle = nullptr;
    QCOMPARE(sqlite3_open("Norva.db", &handle), SQLITE_OK);
    char *message = nullptr;
    const int rc = sqlite3_exec(handle, statement, nullptr, nullptr, &message);
    const QString error = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(handle);
    QVERIFY2(rc == SQLITE_OK, qPrintable(error));
}
