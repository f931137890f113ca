#pragma once

#include "FakeDesktop.h"
#include "Workspace.h"

#include <QObject>

#include <memory>
#include <source_location>

// What every window test case starts from: a fresh working directory and a fake desktop.
// Each test class calls startCase() from its init() slot and endCase() from its cleanup() slot.
class DialogTest : public QObject
{
protected:
    static const QString kProgramCaption;

    void startCase(bool withSchema = true);
    // Fails the current test when the desktop saw anything the test did not look at.
    void endCase();
    // Takes the oldest box; a difference fails the current test at the line that called.
    void expectBox(const QString &text, Desktop::Icon icon, const QString &caption = kProgramCaption,
                   std::source_location at = std::source_location::current());
    // Clicks a button that asks a question first, and answers it.
    void clickAndAnswer(QWidget &dialog, const char *button, Desktop::Answer answer = Desktop::Answer::Yes,
                        std::source_location at = std::source_location::current());

    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<FakeDesktop> m_desktop;
};
