#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// What a save-file dialog is asked for.
struct SaveFileRequest
{
    QString caption;
    QString directory;
    QString fileName;      // proposed name
    QString filter;        // "RTF Dosyası (*.rtf)"
    QString defaultSuffix; // "rtf"
    // The dialog asks before an existing file is replaced; false when the caller asks itself.
    bool confirmOverwrite = true;
};

// What an open-file dialog is asked for.
struct OpenFileRequest
{
    QString caption;
    QString directory;
    QString filter; // "Access Veritabanı (*.mdb *.accdb)"
};

// Everything the program asks of the desktop: message boxes, file dialogs,
// opening addresses, the calculator, the clipboard and running modal dialogs.
// Nothing else in the program talks to those services directly, so tests can
// install a fake and answer for the user.
class Desktop
{
public:
    enum class Icon { None, Information, Question, Error };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Desktop() = default;

    virtual Answer messageBox(QWidget *owner, const QString &caption, const QString &text, Icon icon,
                              Buttons buttons) = 0;
    // A box whose buttons carry the texts of `choices`, in order: the index of the one pressed.
    virtual int choiceBox(QWidget *owner, const QString &caption, const QString &text, Icon icon,
                          const QStringList &choices) = 0;
    virtual QString saveFileName(QWidget *owner, const SaveFileRequest &request) = 0; // empty when cancelled
    virtual QString openFileName(QWidget *owner,
                                 const OpenFileRequest &request) = 0; // an existing file; empty when cancelled
    // Existing files, one or more; none when cancelled. Where only one can be chosen, that one.
    virtual QStringList openFileNames(QWidget *owner, const OpenFileRequest &request);
    // Both false when no program could be started for it.
    virtual bool open(const QString &address) = 0;
    virtual bool startCalculator() = 0;
    virtual void setClipboardText(const QString &text) = 0;
    // A password: marked so that clipboard managers do not keep it, and taken off the
    // clipboard again after a while if it is still there.
    virtual void setSecretClipboardText(const QString &text) = 0;
    // Runs a dialog modally and returns its result.
    virtual int runModal(QDialog &dialog) = 0;

    // The application's own box: captioned with the program's title, no owner.
    Answer applicationBox(const QString &text, Icon icon = Icon::None, Buttons buttons = Buttons::Ok);

    static Desktop &current();
    static void install(Desktop *desktop); // nullptr puts the real desktop back
};
