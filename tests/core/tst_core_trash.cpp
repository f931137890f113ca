#include "Workspace.h"

#include "core/Trash.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreTrash : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreTrash)
#include "tst_core_trash.moc"
