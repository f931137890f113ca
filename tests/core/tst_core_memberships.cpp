#include "Workspace.h"

#include "core/Memberships.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreMemberships : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreMemberships)
#include "tst_core_memberships.moc"
