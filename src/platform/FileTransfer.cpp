#include "platform/FileTransfer.h"

#include "platform/DatabaseErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
// Far more than any file of contacts or bookmarks; a larger one is a wrong choice.
constexpr qint64 kLargestReadFile = 64 * 1024 * 1024;
} // namespace

bool saveToFile(QWidget *owner, const SaveFileRequest &request,
                const std::function<std::optional<QString>(const QString &path)> &write, const QString &written)
{
    Desktop &desktop = Desktop::current();
    const QString path = desktop.saveFileName(owner, request);
    if (path.isEmpty())
        return false;
    std::optional<QString> failure;
    try {
        failure = write(path);
    } catch (const db::Error &error) {
        db::showError(error);
        return false;
    }
    if (failure) {
        desktop.applicationBox(*failure, Desktop::Icon::Error);
        return false;
    }
    desktop.applicationBox(written.arg(QFileInfo(path).fileName()), Desktop::Icon::Information);
    return true;
}

std::optional<ChosenFile> readChosenFile(QWidget *owner, const OpenFileRequest &request)
{
    Desktop &desktop = Desktop::current();
    const QString path = desktop.openFileName(owner, request);
    if (path.isEmpty())
        return std::nullopt;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        desktop.applicationBox(
            u"\"%1\" dosyası açılamadı. Dosyanın var olduğundan ve okuma izniniz olduğundan emin olun."_s.arg(shown),
            Desktop::Icon::Error);
        return std::nullopt;
    }
    if (file.size() > kLargestReadFile) {
        desktop.applicationBox(u"\"%1\" dosyası bu tür bir dosya için fazla büyük; hiçbir şey eklenmedi."_s.arg(shown),
                               Desktop::Icon::Error);
        return std::nullopt;
    }
    ChosenFile chosen{QFileInfo(path).fileName(), file.readAll()};
    if (file.error() != QFileDevice::NoError) {
        desktop.applicationBox(u"\"%1\" dosyası okunamadı: %2"_s.arg(shown, file.errorString()), Desktop::Icon::Error);
        return std::nullopt;
    }
    return chosen;
}

bool confirmAdding(const ChosenFile &file, const QString &refusal, qsizetype found, const QString &noun,
                   const QString &destination, const QString &note)
{
    Desktop &desktop = Desktop::current();
    if (!refusal.isEmpty()) {
        desktop.applicationBox(u"%1: %2 Hiçbir %3 eklenmedi."_s.arg(file.name, refusal, noun), Desktop::Icon::Error);
        return false;
    }
    if (found == 0) {
        desktop.applicationBox(u"%1 dosyasında eklenebilecek %2 bulunamadı.%3"_s.arg(file.name, noun, note),
                               Desktop::Icon::Error);
        return false;
    }
    return desktop.applicationBox(u"%1 dosyasında %2 %3 bulundu.%4 %5 eklensin mi?"_s.arg(
                                      file.name, QString::number(found), noun, note, destination),
                                  Desktop::Icon::Question, Desktop::Buttons::YesNo) == Desktop::Answer::Yes;
}
