#pragma once

#include "data/Files.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

class QWidget;

// The steps every "Aktar" and "Al" button shares: the file dialog, the file
// itself, and the box that says how it went.

// Why a file was not read or written, naming it.
QString fileFailureText(const files::Failure &failure);

// Asks where to save through the desktop and, unless cancelled, runs `write`
// with the chosen path. `write` returns nothing when the file was written,
// else why not, told in the application box with the error icon; a database error it throws gets the database error
// box. Success shows `written` with the file's name for its %1. True when written.
bool saveToFile(QWidget *owner, const SaveFileRequest &request,
                const std::function<std::optional<files::Failure>(const QString &path)> &write, const QString &written);

// A file the user chose, read whole.
struct ChosenFile
{
    QString name; // without its folder, for the boxes
    QByteArray bytes;
};

// Asks for a file to open through the desktop and reads it whole. Nothing when
// cancelled, or after a box saying why the file could not be read.
std::optional<ChosenFile> readChosenFile(QWidget *owner, const OpenFileRequest &request);

// Whether to add the records read from `file`: says why nothing can be added
// (the reader's `refusal`, no record found, or all `found` saved already),
// else asks, naming how many were found ("3 kişi"), how many of them are
// saved already, and where the new ones go ("Rehbere"). `note` follows the
// count in every box (cards skipped, say). True for "Evet".
bool confirmAdding(const ChosenFile &file, const QString &refusal, qsizetype found, qsizetype saved,
                   const QString &noun, const QString &destination, const QString &note = {});

// Adds the records read from `file` that are not saved yet, after
// confirmAdding has counted them and the user agreed: `countSaved(read)` says
// how many are saved already, `addNew(read)` adds the others and says what it
// added and left out. Nothing when nothing was added or after the database
// error box.
template <typename Record, typename CountSaved, typename AddNew>
auto addNewRecords(const ChosenFile &file, const QString &refusal, const std::vector<Record> &read,
                   CountSaved countSaved, AddNew addNew, const QString &noun, const QString &destination,
                   const QString &note = {}) -> std::optional<std::invoke_result_t<AddNew, const std::vector<Record> &>>
{
    try {
        const qsizetype saved = refusal.isEmpty() ? countSaved(read) : 0;
        if (!confirmAdding(file, refusal, qsizetype(read.size()), saved, noun, destination, note))
            return std::nullopt;
        return addNew(read);
    } catch (const db::Error &error) {
        db::showError(error);
        return std::nullopt;
    }
}
