#pragma once

#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

class QWidget;

// The steps every "Aktar" and "Al" button shares: the file dialog, the file
// itself, and the box that says how it went.

// Asks where to save through the desktop and, unless cancelled, runs `write`
// with the chosen path. `write` returns nothing when the file was written,
// else the Turkish sentence saying why not, shown in the application box with
// the error icon; a database error it throws gets the database error box.
// Success shows `written` with the file's name for its %1. True when written.
bool saveToFile(QWidget *owner, const SaveFileRequest &request,
                const std::function<std::optional<QString>(const QString &path)> &write, const QString &written);

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

// The records of a file that are new: equal (by `keyOf`) neither to a saved
// one nor to one before them in the file. `same` counts the others, so that a
// file taken in twice adds nothing the second time.
template <typename Record>
struct NewRecords
{
    std::vector<Record> records;
    qsizetype same = 0;
};

template <typename Record, typename KeyOf>
NewRecords<Record> leaveOutSaved(const std::vector<Record> &read, const std::vector<Record> &saved, KeyOf keyOf)
{
    QSet<std::invoke_result_t<KeyOf, const Record &>> seen;
    for (const Record &record : saved)
        seen.insert(keyOf(record));
    NewRecords<Record> fresh;
    for (const Record &record : read) {
        const qsizetype before = seen.size();
        seen.insert(keyOf(record));
        if (seen.size() > before)
            fresh.records.push_back(record);
        else
            ++fresh.same;
    }
    return fresh;
}

// Adds the new records among `read`, from `file`, through a `Store` (see
// leaveOutSaved), after confirmAdding has counted them and the user agreed:
// all of them or, when one fails, none. What was added and left out; nothing
// when nothing was added or after the database error box.
template <typename Store, typename Record, typename KeyOf>
std::optional<NewRecords<Record>> addNewRecords(const ChosenFile &file, const QString &refusal,
                                                const std::vector<Record> &read, KeyOf keyOf, const QString &noun,
                                                const QString &destination, const QString &note = {})
{
    try {
        qsizetype saved = 0;
        if (refusal.isEmpty() && !read.empty()) {
            db::Connection connection;
            saved = leaveOutSaved(read, Store(connection).all(), keyOf).same;
        }
        if (!confirmAdding(file, refusal, qsizetype(read.size()), saved, noun, destination, note))
            return std::nullopt;
        // Compared again: another copy of the program may have added some meanwhile.
        db::Connection connection;
        db::Transaction transaction(connection);
        Store store(connection);
        NewRecords<Record> fresh = leaveOutSaved(read, store.all(), keyOf);
        for (const Record &record : fresh.records)
            store.add(record);
        transaction.commit();
        return fresh;
    } catch (const db::Error &error) {
        db::showError(error);
        return std::nullopt;
    }
}
