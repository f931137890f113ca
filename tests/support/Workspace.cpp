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

QStringList rawRows(const QString &statements)
{
    QStringList rows;
    const auto addRow = [](void *rows, int count, char **values, char **) {
        QStringList row;
        for (int i = 0; i < count; ++i)
            row << QString::fromUtf8(values[i] ? values[i] : "<NULL>");
        static_cast<QStringList *>(rows)->append(row.join(u'|'));
        return 0;
    };
    sqlite3 *handle = nullptr;
    if (sqlite3_open("Norva.db", &handle) != SQLITE_OK)
        qFatal("Norva.db cannot be opened");
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

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray testData(const QString &path)
{
    QFile file(QStringLiteral(NORVA_TESTS_DIR "/") + path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no test data %s", qPrintable(path));
    return file.readAll();
}
