#include "platform/QtDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

void prepareBox(QMessageBox &box, const QString &caption, const QString &text, Desktop::Icon icon)
{
    box.setWindowTitle(caption);
    // Texts are shown as written, never read as markup; a CR LF line break is one line break.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(u"\r\n"_s, u"\n"_s));
    switch (icon) {
    case Desktop::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Desktop::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Desktop::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Desktop::Icon::Error: box.setIcon(QMessageBox::Critical); break;
    }
}

QWidget *boxOwner(QWidget *owner)
{
    if (owner)
        return owner;
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
}

// Whether the desktop names a program for folders. xdg-open is started all the same
// without one, and says that it found none only after the program has moved on; asked
// first, the way the desktop's own menus ask. Where it cannot be asked, xdg-open may try.
bool hasFileManager()
{
    QProcess query;
    query.start(u"xdg-mime"_s, {u"query"_s, u"default"_s, u"inode/directory"_s});
    if (!query.waitForStarted(2000))
        return true;
    if (!query.waitForFinished(2000)) {
        query.kill();
        query.waitForFinished();
        return true;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

Desktop::Answer QtDesktop::messageBox(QWidget *owner, const QString &caption, const QString &text, Icon icon,
                                      Buttons buttons)
{
    QMessageBox box(boxOwner(owner));
    prepareBox(box, caption, text, icon);
    // The buttons speak Turkish whatever the system's language is.
    if (buttons == Buttons::YesNo) {
        QPushButton *yes = box.addButton(u"Evet"_s, QMessageBox::YesRole);
        QPushButton *no = box.addButton(u"Hayır"_s, QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    QPushButton *ok = box.addButton(u"Tamam"_s, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Answer::Ok;
}

int QtDesktop::choiceBox(QWidget *owner, const QString &caption, const QString &text, Icon icon,
                         const QStringList &choices)
{
    QMessageBox box(boxOwner(owner));
    prepareBox(box, caption, text, icon);
    QList<QPushButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    if (!buttons.isEmpty())
        box.setDefaultButton(buttons.constFirst());
    // No escape button: the box stays until one of the choices is made.
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QString QtDesktop::saveFileName(QWidget *owner, const SaveFileRequest &request)
{
    QFileDialog dialog(owner, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDesktop::openFileName(QWidget *owner, const OpenFileRequest &request)
{
    QFileDialog dialog(owner, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QStringList QtDesktop::openFileNames(QWidget *owner, const OpenFileRequest &request)
{
    QFileDialog dialog(owner, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

bool QtDesktop::open(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir() && !hasFileManager())
        return false;
    return QDesktopServices::openUrl(url);
}

bool QtDesktop::startCalculator()
{
    static const char *const calculators[] = {"gnome-calculator", "kcalc", "qalculate-gtk", "galculator", "xcalc"};
    for (const char *name : calculators) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty() && QProcess::startDetached(program, {}))
            return true;
    }
    return false;
}

void QtDesktop::setClipboardText(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

void QtDesktop::setSecretClipboardText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    // The convention clipboard managers (Klipper, GPaste, ...) follow to leave a value out of their history.
    data->setData(u"x-kde-passwordManagerHint"_s, "secret");
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setMimeData(data);
    const int copy = ++m_secretsCopied;
    QTimer::singleShot(secretLifetimeMs, clipboard, [this, copy, text] {
        QClipboard *clipboard = QApplication::clipboard();
        // Only the last password copied, and only while nothing else replaced it.
        if (copy == m_secretsCopied && clipboard->text() == text)
            clipboard->clear();
    });
}

int QtDesktop::runModal(QDialog &dialog)
{
    return dialog.exec();
}
