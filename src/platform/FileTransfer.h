#pragma once

#include "platform/Desktop.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

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
// (the reader's `refusal`, or no record found), else asks, naming how many
// were found ("3 kişi") and where they go ("Rehbere"). `note` follows the
// count in both boxes (cards skipped, say). True for "Evet".
bool confirmAdding(const ChosenFile &file, const QString &refusal, qsizetype found, const QString &noun,
                   const QString &destination, const QString &note = {});
