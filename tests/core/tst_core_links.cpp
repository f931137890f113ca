#include "Workspace.h"

#include "core/Links.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreLinks : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreLinks)
#include "tst_core_links.moc"
