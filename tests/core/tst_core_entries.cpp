#include "Workspace.h"

#include "core/Entries.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreEntries : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreEntries)
#include "tst_core_entries.moc"
