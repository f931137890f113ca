#pragma once

#include "platform/Desktop.h"

// The real desktop, through Qt's message boxes, file dialogs and services.
class QtDesktop final : public Desktop
{
public:
    Answer messageBox(QWidget *owner, const QString &caption, const QString &text, Icon icon, Buttons buttons) override;
    int choiceBox(QWidget *owner, const QString &caption, const QString &text, Icon icon,
                  const QStringList &choices) override;
    QString saveFileName(QWidget *owner, const SaveFileRequest &request) override;
    QString openFileName(QWidget *owner, const OpenFileRequest &request) override;
    QStringList openFileNames(QWidget *owner, const OpenFileRequest &request) override;
    bool open(const QString &address) override;
    bool startCalculator() override;
    void setClipboardText(const QString &text) override;
    void setSecretClipboardText(const QString &text) override;
    int runModal(QDialog &dialog) override;

    int secretLifetimeMs = 30000; // how long a password stays on the clipboard

private:
    int m_secretsCopied = 0;
};
