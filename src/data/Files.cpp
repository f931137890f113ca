#include "data/Files.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace files {

namespace {

Failure notAFileReason(const QString &path, const QFileInfo &info)
{
    if (!info.exists())
        return {Failure::Kind::CannotOpen, path};
    return {info.isDir() ? Failure::Kind::Folder : Failure::Kind::NotAFile, path};
}

} // namespace

std::optional<Failure> notAFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return std::nullopt;
    return notAFileReason(path, info);
}

ReadFile readWhole(const QString &path, qint64 cap)
{
    if (std::optional<Failure> reason = notAFile(path))
        return {{}, reason};
    // Non-blocking, and checked again on the open descriptor: the name may have been
    // swapped for a FIFO or a device since the check above.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {{}, Failure{Failure::Kind::CannotOpen, path}};
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
            return {{}, Failure{Failure::Kind::Unreadable, path}};
        }
        if (got == 0)
            break;
        bytes.append(chunk, qsizetype(got));
        if (bytes.size() > cap) {
            ::close(fd);
            return {{}, Failure{Failure::Kind::TooLarge, path}};
        }
    }
    ::close(fd);
    return {bytes, std::nullopt};
}

std::optional<Failure> writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Owner-only from the first byte: exports hold names, addresses and amounts.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return Failure{Failure::Kind::CannotCreate, path};
    // flush() first: commit() would put a file whose last write failed in
    // place all the same. Without a commit the temporary file goes.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return Failure{Failure::Kind::CannotWrite, path};
    return std::nullopt;
}

} // namespace files
