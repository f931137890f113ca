#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading and writing the files a user hands the program or asks it to write:
// what is read is a regular file and never more than a cap, whatever the file
// system says of its size; what is written holds records and is its owner's alone.
namespace files {

// Far more than any file of contacts, bookmarks or a month's exports; a larger one is a wrong choice.
inline constexpr qint64 kLargestReadFile = 64 * 1024 * 1024;

// Why `path` cannot be read as a file, in Turkish and naming it; nothing when it is a
// regular file. Never opens it, so a FIFO or a device cannot block or flood the caller.
std::optional<QString> notAFile(const QString &path);

struct ReadFile
{
    QByteArray bytes;
    std::optional<QString> failure; // the Turkish reason, naming the file, when nothing was read
};

// Reads a regular file whole, at most `cap` bytes: one byte more is refused as too large,
// even where the file's size said less.
ReadFile readWhole(const QString &path, qint64 cap = kLargestReadFile);

// Writes `bytes` to `path` whole or not at all, readable and writable by its owner only:
// a failed write leaves a file that was there as it was. Nothing when written, else the
// Turkish reason naming the file.
std::optional<QString> writeWhole(const QString &path, const QByteArray &bytes);

} // namespace files
