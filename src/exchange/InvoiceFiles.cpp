#include "data/Files.h"
#include "exchange/EInvoice.h"

#include <QFileInfo>

#include <zip.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

InvoiceDocument refused(const QString &source, InvoiceFault why, const QString &detail = {})
{
    InvoiceDocument document;
    document.source = source;
    document.fault = why;
    document.detail = detail;
    return document;
}

bool isXmlName(const QString &name)
{
    return name.endsWith(u".xml"_s, Qt::CaseInsensitive);
}

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct EntryCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

// A file of the ZIP read whole, never more than it said it holds: the sizes a ZIP tells
// can lie, so what comes out is counted as it comes. Nothing when it holds more or cannot
// be read.
std::optional<QByteArray> readEntry(zip_t *archive, zip_uint64_t index, qint64 size)
{
    const std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        return std::nullopt;
    QByteArray bytes(size + 1, Qt::Uninitialized);
    qint64 got = 0;
    while (got <= size) {
        const zip_int64_t read = zip_fread(file.get(), bytes.data() + got, zip_uint64_t(size + 1 - got));
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        got += read;
    }
    if (got != size)
        return std::nullopt;
    bytes.truncate(got);
    return bytes;
}

void readArchive(const QString &path, std::vector<InvoiceDocument> &documents)
{
    const QString shown = QFileInfo(path).fileName();
    int error = 0;
    const std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        documents.push_back(refused(shown, error == ZIP_ER_OPEN || error == ZIP_ER_READ ? InvoiceFault::CannotOpen
                                                                                        : InvoiceFault::BrokenArchive));
        return;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > kMostArchiveFiles) {
        documents.push_back(refused(shown, InvoiceFault::ArchiveTooLarge));
        return;
    }
    // The limits are checked on what the central directory says before anything is expanded,
    // and again on what each file gives as it is read.
    struct Item
    {
        zip_uint64_t index;
        QString name;
        qint64 size;
    };
    std::vector<Item> items;
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
            !(stat.valid & ZIP_STAT_NAME)) {
            documents.push_back(refused(shown, InvoiceFault::BrokenArchive));
            return;
        }
        const QString name = QString::fromUtf8(stat.name);
        if (name.endsWith(u'/') || !isXmlName(name))
            continue;
        total += qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(kLargestArchive) + 1));
        if (total > kLargestArchive) {
            documents.push_back(refused(shown, InvoiceFault::ArchiveTooLarge));
            return;
        }
        items.push_back({zip_uint64_t(i), name, qint64(stat.size)});
    }
    for (const Item &item : items) {
        const QString source = u"%1: %2"_s.arg(shown, item.name);
        if (item.size > kLargestInvoice) {
            documents.push_back(refused(source, InvoiceFault::TooLarge));
            continue;
        }
        const std::optional<QByteArray> bytes = readEntry(archive.get(), item.index, item.size);
        if (!bytes) {
            // One file that lies about its size makes the whole ZIP suspect: nothing more is read.
            documents.push_back(refused(source, InvoiceFault::BrokenArchive));
            return;
        }
        InvoiceDocument document = readInvoice(*bytes);
        document.source = source;
        documents.push_back(std::move(document));
    }
}

} // namespace

std::vector<InvoiceDocument> readInvoiceFiles(const QStringList &paths)
{
    std::vector<InvoiceDocument> documents;
    for (const QString &path : paths) {
        const QString shown = QFileInfo(path).fileName();
        if (const std::optional<files::Failure> failure = files::notAFile(path)) {
            documents.push_back(refused(shown, InvoiceFault::CannotOpen));
            continue;
        }
        if (path.endsWith(u".zip"_s, Qt::CaseInsensitive)) {
            readArchive(path, documents);
            continue;
        }
        const files::ReadFile file = files::readWhole(path, kLargestInvoice);
        if (file.failure) {
            documents.push_back(refused(shown, file.failure->kind == files::Failure::Kind::TooLarge
                                                   ? InvoiceFault::TooLarge
                                                   : InvoiceFault::CannotOpen));
            continue;
        }
        InvoiceDocument document = readInvoice(file.bytes);
        document.source = shown;
        documents.push_back(std::move(document));
    }
    return documents;
}

} // namespace exchange
