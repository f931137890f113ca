#pragma once

#include <QString>

#include <optional>

// What the mail and web buttons hand to the desktop. Only mailto:, http: and
// https: addresses are ever opened: a field holding a file path or another
// scheme gives nothing.
namespace addresses {
std::optional<QString> mailto(const QString &mail); // "mailto:" + the field's text
std::optional<QString> web(const QString &text);    // unchanged when it holds "http", else "https://" in front
} // namespace addresses
