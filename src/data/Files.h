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

// Why a file was not read or written, and which: the layer that shows it words it.
struct Failure
{
    enum class Kind {
        CannotOpen,   // missing, or no permission to read it
        Folder,       // a folder where a file was wanted
        NotAFile,     // a device, a pipe or a socket
        Unreadable,   // a read failed half-way
        TooLarge,     // past the cap
        CannotCreate, // the folder is missing or closed to writing
        CannotWrite,  // a write failed: the disk is full, say
    };
    Kind kind;
    QString path;
    bool operator==(const Failure &) const = default;
};

// Why `path` cannot be read as a file; nothing when it is a regular file. Never opens
// it, so a FIFO or a device cannot block or flood the caller.
std::optional<Failure> notAFile(const QString &path);

struct ReadFile
{
    QByteArray bytes;
    std::optional<Failure> failure; // set when nothing was read
};

// Reads a regular file whole, at most `cap` bytes: one byte more is refused as too large,
// even where the file's size said less.
ReadFile readWhole(const QString &path, qint64 cap = kLargestReadFile);

// Writes `bytes` to `path` whole or not at all, readable and writable by its owner only:
// a failed write leaves a file that was there as it was. Nothing when written.
std::optional<Failure> writeWhole(const QString &path, const QByteArray &bytes);

} // namespace files
