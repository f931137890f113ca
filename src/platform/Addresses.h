#pragma once

#include <QString>

// What the mail and web buttons hand to the desktop. Only a plain e-mail
// address (as "mailto:") and http or https addresses with a host are ever
// opened; anything else is refused with a message saying why.
namespace addresses {

struct Target
{
    QString address; // what the desktop opens; empty when refused
    QString refusal; // the message shown instead
};

// "mailto:" and the field's text, trimmed, when it is one plain address: one
// '@' with text on both sides, and no blank, line break or character that
// would add recipients or headers ('?', '%', '#', ',', ';', ...).
Target mailto(const QString &field);
// The field's text, trimmed, when it begins with "http:" or "https:" in any
// case; "https://" and the text when it begins with no scheme at all ("a.com",
// "localhost:8080"). Refused: any other scheme ("file:", "mailto:"), and an
// address without a host ("/usr/bin/xterm" becomes one).
Target web(const QString &field);

// Opens the target, or shows its refusal in the application's box.
void open(const Target &target);

} // namespace addresses
