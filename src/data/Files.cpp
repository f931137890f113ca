#include "data/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace files {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString unreadable(const QString &path)
{
    return u"\"%1\" dosyası açılamadı. Dosyanın var olduğundan ve okuma izniniz olduğundan emin olun."_s.arg(
        shown(path));
}

QString notAFileReason(const QString &path, const QFileInfo &info)
{
    if (!info.exists())
        return unreadable(path);
    if (info.isDir())
        return u"\"%1\" bir klasör; bir dosya seçin."_s.arg(shown(path));
    return u"\"%1\" bir dosya değil (bir aygıt ya da boru); yalnızca diskteki bir dosya okunur."_s.arg(shown(path));
}

} // namespace

std::optional<QString> notAFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return std::nullopt;
    return notAFileReason(path, info);
}

ReadFile readWhole(const QString &path, qint64 cap)
{
    if (std::optional<QString> reason = notAFile(path))
        return {{}, reason};
    // Non-blocking, and checked again on the open descriptor: the name may have been
    // swapped for a FIFO or a device since the check above.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {{}, unreadable(path)};
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {{}, notAFileReason(path, QFileInfo(path))};
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(status.st_size, cap) + 1));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return {{}, u"\"%1\" dosyası okunamadı; dosya bozuk ya da disk okunamıyor olabilir."_s.arg(shown(path))};
        }
        if (got == 0)
            break;
        bytes.append(chunk, qsizetype(got));
        if (bytes.size() > cap) {
            ::close(fd);
            return {{}, u"\"%1\" dosyası bu tür bir dosya için fazla büyük; hiçbir şey eklenmedi."_s.arg(shown(path))};
        }
    }
    ::close(fd);
    return {bytes, std::nullopt};
}

std::optional<QString> writeWhole(const QString &path, const QByteArray &bytes)
{
    const QString name = shown(path);
    QSaveFile file(path);
    // Owner-only from the first byte: exports hold names, addresses and amounts.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return u"\"%1\" dosyası oluşturulamadı. Klasörün var olduğundan ve yazma izniniz olduğundan emin olun."_s.arg(
            name);
    // flush() first: commit() would put a file whose last write failed in
    // place all the same. Without a commit the temporary file goes.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return u"\"%1\" dosyasına yazılamadı; diskte yer olduğundan emin olun. Önceki dosya olduğu gibi duruyor."_s.arg(
            name);
    return std::nullopt;
}

} // namespace files
