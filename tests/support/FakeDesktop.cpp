#include "FakeDesktop.h"

#include <QDialog>

using namespace Qt::StringLiterals;

Desktop::Answer FakeDesktop::messageBox(QWidget *, const QString &caption, const QString &text, Icon icon,
                                        Buttons buttons)
{
    boxes.append({caption, text, icon, buttons, {}});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (m_answers.empty()) {
        m_unanswered << u"unanswered question: "_s + text;
        return Answer::No;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

int FakeDesktop::choiceBox(QWidget *, const QString &caption, const QString &text, Icon icon,
                           const QStringList &choices)
{
    boxes.append({caption, text, icon, Buttons::Ok, choices});
    const qsizetype index = m_choices.empty() ? -1 : choices.indexOf(m_choices.front());
    if (index < 0) {
        m_unanswered << u"unanswered choice: "_s + text;
        return -1;
    }
    m_choices.pop_front();
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

QString FakeDesktop::takePath(std::deque<QString> &paths, const QString &dialog)
{
    if (paths.empty()) {
        m_unanswered << u"unexpected "_s + dialog;
        return {};
    }
    const QString path = paths.front();
    paths.pop_front();
    return path;
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
