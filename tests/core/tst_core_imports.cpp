#include "Workspace.h"

#include "core/Imports.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreImports : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreImports)
#include "tst_core_imports.moc"
