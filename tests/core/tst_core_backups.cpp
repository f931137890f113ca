#include "Workspace.h"

#include "core/Backups.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreBackups : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreBackups)
#include "tst_core_backups.moc"
