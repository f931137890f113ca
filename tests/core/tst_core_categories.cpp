#include "Workspace.h"

#include "core/Categories.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreCategories : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreCategories)
#include "tst_core_categories.moc"
