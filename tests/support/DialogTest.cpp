#include "DialogTest.h"

#include "DialogWidgets.h"

#include <QtTest>

using namespace Qt::StringLiterals;

const QString DialogTest::kProgramCaption = u"Norva Rezado 1.0"_s;

void DialogTest::startCase(bool withSchema)
{
    // Anything left over goes first: an old desktop or workspace dying after the new one is made
    // would undo what the new one set up.
    m_desktop.reset();
    m_ws.reset();
    m_ws = std::make_unique<Workspace>(withSchema);
    m_desktop = std::make_unique<FakeDesktop>();
}

void DialogTest::endCase()
{
    const QStringList unexpected = m_desktop->unexpected();
    m_desktop.reset();
    m_ws.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
}

void DialogTest::expectBox(const QString &text, Desktop::Icon icon, const QString &caption, std::source_location at)
{
    const FakeDesktop::Box box = m_desktop->takeBox();
    const char *file = at.file_name();
    const int line = int(at.line());
    // Stops at the first difference, as QCOMPARE would.
    if (QTest::qCompare(box.caption, caption, "box.caption", "caption", file, line))
        if (QTest::qCompare(box.text, text, "box.text", "text", file, line))
            QTest::qCompare(box.icon, icon, "box.icon", "icon", file, line);
}

void DialogTest::clickAndAnswer(QWidget &dialog, const char *button, Desktop::Answer answer, std::source_location at)
{
    m_desktop->answer(answer);
    click(dialog, button);
    QTest::qCompare(m_desktop->takeBox().icon, Desktop::Icon::Question, "icon", "Question", at.file_name(),
                    int(at.line()));
}
