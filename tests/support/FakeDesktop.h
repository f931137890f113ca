#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QStringList>

#include <functional>

// Stands in for the desktop in tests: records every box, address, clipboard
// text and modal dialog, and answers questions from a queue the test fills.
class FakeDesktop final : public Desktop
{
public:
    struct Box
    {
        QString caption;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QStringList choices; // the buttons of a choice box
    };

    FakeDesktop() { Desktop::install(this); }              // installs itself
    ~FakeDesktop() override { Desktop::install(nullptr); } // puts the real desktop back

    Answer messageBox(QWidget *owner, const QString &caption, const QString &text, Icon icon, Buttons buttons) override;
    int choiceBox(QWidget *owner, const QString &caption, const QString &text, Icon icon,
                  const QStringList &choices) override;
    QString saveFileName(QWidget *owner, const SaveFileRequest &request) override;
    QString openFileName(QWidget *owner, const OpenFileRequest &request) override;
    // Nothing is recorded when no program is there to start.
    bool open(const QString &address) override { return !programsMissing && !(opened << address).isEmpty(); }
    bool startCalculator() override { return !programsMissing && ++calculatorStarts > 0; }
    void setClipboardText(const QString &text) override { clipboard << text; }
    void setSecretClipboardText(const QString &text) override
    {
        clipboard << text;
        secrets << text;
    }
    int runModal(QDialog &dialog) override;

    void answer(Answer answer) { m_answers << answer; }
    // The button the next choice box is answered with, by its text.
    void choose(const QString &choice) { m_choices << choice; }
    // The path the next save dialog returns; an empty path is a cancelled dialog.
    void answerSave(const QString &path) { m_savePaths << path; }
    // The path the next open dialog returns; an empty path is a cancelled dialog.
    void answerOpen(const QString &path) { m_openPaths << path; }
    // Called with each dialog run modally; the dialog returns Rejected unless it was ended.
    std::function<void(QDialog &)> onModal;

    // The oldest box not yet taken; an empty Box when there is none.
    Box takeBox() { return boxes.isEmpty() ? Box{} : boxes.takeFirst(); }
    // What the test has not looked at, or questions nobody answered: empty when all was expected.
    QStringList unexpected() const;

    QList<Box> boxes;
    QStringList opened;
    QStringList clipboard;
    QStringList secrets;      // the texts among `clipboard` copied as passwords
    QStringList modalDialogs; // class names
    QList<SaveFileRequest> saveRequests;
    QList<OpenFileRequest> openRequests;
    int calculatorStarts = 0;
    // No program opens an address or is a calculator: open and startCalculator fail.
    bool programsMissing = false;

private:
    QList<Answer> m_answers;
    QString takePath(QStringList &paths, const QString &dialog);

    QStringList m_savePaths;
    QStringList m_openPaths;
    QStringList m_choices;
    QStringList m_unanswered;
};
