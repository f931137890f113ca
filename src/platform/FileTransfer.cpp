#include "platform/FileTransfer.h"

#include "platform/DatabaseErrors.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString fileFailureText(const files::Failure &failure)
{
    const QString name = QDir::toNativeSeparators(failure.path);
    switch (failure.kind) {
    case files::Failure::Kind::CannotOpen:
        return u"\"%1\" dosyası açılamadı. Dosyanın var olduğundan ve okuma izniniz olduğundan emin olun."_s.arg(name);
    case files::Failure::Kind::Folder: return u"\"%1\" bir klasör; bir dosya seçin."_s.arg(name);
    case files::Failure::Kind::NotAFile:
        return u"\"%1\" bir dosya değil (bir aygıt ya da boru); yalnızca diskteki bir dosya okunur."_s.arg(name);
    case files::Failure::Kind::Unreadable:
        return u"\"%1\" dosyası okunamadı; dosya bozuk ya da disk okunamıyor olabilir."_s.arg(name);
    case files::Failure::Kind::TooLarge:
        return u"\"%1\" dosyası bu tür bir dosya için fazla büyük; hiçbir şey eklenmedi."_s.arg(name);
    case files::Failure::Kind::CannotCreate:
        return u"\"%1\" dosyası oluşturulamadı. Klasörün var olduğundan ve yazma izniniz olduğundan emin olun."_s.arg(
            name);
    case files::Failure::Kind::CannotWrite:
        return u"\"%1\" dosyasına yazılamadı; diskte yer olduğundan emin olun. Önceki dosya olduğu gibi duruyor."_s.arg(
            name);
    }
    return {};
}

bool saveToFile(QWidget *owner, const SaveFileRequest &request,
                const std::function<std::optional<files::Failure>(const QString &path)> &write, const QString &written)
{
    Desktop &desktop = Desktop::current();
    const QString path = desktop.saveFileName(owner, request);
    if (path.isEmpty())
        return false;
    std::optional<files::Failure> failure;
    try {
        failure = write(path);
    } catch (const db::Error &error) {
        db::showError(error);
        return false;
    }
    if (failure) {
        desktop.applicationBox(fileFailureText(*failure), Desktop::Icon::Error);
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
    files::ReadFile read = files::readWhole(path);
    if (read.failure) {
        desktop.applicationBox(fileFailureText(*read.failure), Desktop::Icon::Error);
        return std::nullopt;
    }
    return ChosenFile{QFileInfo(path).fileName(), std::move(read.bytes)};
}

bool confirmAdding(const ChosenFile &file, const QString &refusal, qsizetype found, qsizetype saved,
                   const QString &noun, const QString &destination, const QString &note)
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
    const QString count = QString::number(found), fresh = QString::number(found - saved);
    if (saved == found) {
        desktop.applicationBox(
            u"%1 dosyasında bulunan %2 %3 zaten kayıtlı.%4 Eklenecek yeni %3 yok."_s.arg(file.name, count, noun, note),
            Desktop::Icon::Information);
        return false;
    }
    const QString question =
        saved == 0
            ? u"%1 dosyasında %2 %3 bulundu.%4 %5 eklensin mi?"_s.arg(file.name, count, noun, note, destination)
            : u"%1 dosyasında %2 %3 bulundu: %4 tanesi yeni, %5 tanesi zaten kayıtlı.%6 %7 yalnızca yeni olan "
              u"%4 %3 eklensin mi?"_s.arg(file.name, count, noun, fresh, QString::number(saved), note, destination);
    return desktop.applicationBox(question, Desktop::Icon::Question, Desktop::Buttons::YesNo) == Desktop::Answer::Yes;
}
