#pragma once

#include "data/Files.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

typedef struct S_MdbTableDef MdbTableDef;

// The earlier program's Access file (Norva.mdb / Norva.accdb), read through
// libmdb. It is only ever read: a read-only file or folder is fine.
namespace exchange {

// Why a file cannot be read: a Turkish sentence for the user, and libmdb's
// or the system's own words where there are any; or, for a file that is none
// or cannot be opened, `file` alone, which the layer showing it words.
struct AccessError
{
    QString message;
    QString detail;
    std::optional<files::Failure> file = std::nullopt;
};

// Why a file is refused that is no Access database or is too damaged to be read.
QString notAnAccessFile();

// A cell: nothing for a NULL, otherwise the text as stored ('' stays '').
using Cell = std::optional<QString>;
using Row = QList<Cell>;

// What a column holds, and so how its cells are written out:
// - Text: as stored;
// - Number: decimal with '.', no exponent, no leading or trailing zeros
//   ("1250.5", "-3", "36.45"); a currency exactly, a float by its shortest form;
// - Date: "yyyy-MM-ddTHH:mm:ss";
// - YesNo: "1" or "0", never NULL;
// - Other (binary, OLE objects, ...): libmdb's text for it.
enum class Kind { Text, Number, Date, YesNo, Other };

class AccessFile
{
public:
    enum class Format { Access97, Access2000, Access2007 };

    // Opens the file and reads its list of tables; throws AccessError.
    explicit AccessFile(const QString &path);
    ~AccessFile();
    AccessFile(const AccessFile &) = delete;
    AccessFile &operator=(const AccessFile &) = delete;

    Format format() const { return m_format; }
    static QString formatName(Format format); // "Access 97", "Access 2000–2003", "Access 2007 veya üstü"

    // The user tables' names as the file spells them.
    QStringList tables() const;
    // The name as the file spells it of a table matched without regard to case; empty when it lacks it.
    QString findTable(const QString &name) const;

    // The columns of a table as the file spells them, in file order; throws AccessError.
    QStringList columns(const QString &table);
    // Every row of a table, its cells in the order of `columns`, each column found without
    // regard to case. Throws AccessError naming table or column when one is missing.
    // `kinds`, when given, receives what each asked-for column holds.
    QList<Row> rows(const QString &table, const QStringList &columns, QList<Kind> *kinds = nullptr);

    // What libmdb said of the file while reading it, a line each and in its English; never shown to
    // the user, who is told instead that parts of the file look damaged. Empty for a sound file.
    const QStringList &warnings() const { return m_warnings; }

private:
    template <typename Work>
    auto quietly(Work work);
    QList<Row> readRows(const QString &table, const QStringList &columns, QList<Kind> *kinds);
    MdbTableDef *openTable(const QString &table);
    std::optional<QByteArray> readMemo(const unsigned char *cell, int size);
    std::optional<QByteArrayView> rowOnPage(qint32 pageRow);

    struct Handle;
    Handle *m_handle = nullptr;
    Format m_format = Format::Access2000;
    QString m_path;
    QStringList m_warnings;
};

} // namespace exchange
