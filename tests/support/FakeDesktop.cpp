#include "FakeDesktop.h"

#include <QDialog>

using namespace Qt::StringLiterals;

Desktop::Answer FakeDesktop::messageBox(QWidget *, const QString &caption, const QString &text, Icon icon,
                                        Buttons buttons)
{
    boxes.append({caption, text, icon, buttons, {}});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (m_answers.isEmpty())
        m_unanswered << u"unanswered question: "_s + text;
    return m_answers.isEmpty() ? Answer::No : m_answers.takeFirst();
}

int FakeDesktop::choiceBox(QWidget *, const QString &caption, const QString &text, Icon icon,
                           const QStringList &choices)
{
    boxes.append({caption, text, icon, Buttons::Ok, choices});
    const qsizetype index = m_choices.isEmpty() ? -1 : choices.indexOf(m_choices.takeFirst());
    if (index < 0)
        m_unanswered << u"unanswered choice: "_s + text;
    return int(index);
}

QString FakeDesktop::saveFileName(QWidget *, const SaveFileRequest &request)
{
    saveRequests.append(request);
    return takePath(m_savePaths, u"save dialog: "_s + request.caption);
}

QString FakeDesktop::openFileName(QWidget *, const OpenFileRequest &request)
{
    openRequests.append(request);
    return takePath(m_openPaths, u"open dialog: "_s + request.caption);
}

QString FakeDesktop::takePath(QStringList &paths, const QString &dialog)
{
    if (paths.isEmpty())
        m_unanswered << u"unexpected "_s + dialog;
    return paths.isEmpty() ? QString() : paths.takeFirst();
}

int FakeDesktop::runModal(QDialog &dialog)
{
    modalDialogs << QString::fromLatin1(dialog.metaObject()->className());
    if (onModal)
        onModal(dialog);
    return dialog.result();
}

QStringList FakeDesktop::unexpected() const
{
    QStringList result = m_unanswered;
    for (const Box &box : boxes)
        result << u"box not checked: "_s + box.caption + u": "_s + box.text;
    return result;
}
