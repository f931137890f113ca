#include "Workspace.h"

#include "core/Contacts.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreContacts : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestCoreContacts)
#include "tst_core_contacts.moc"
