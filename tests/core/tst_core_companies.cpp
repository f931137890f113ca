#include "Workspace.h"

#include "core/Companies.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreCompanies : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreCompanies)
#include "tst_core_companies.moc"
