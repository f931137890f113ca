#pragma once

class QComboBox;
class QString;

// Selects the first item that begins with `value`, ignoring case the Turkish
// way (i/İ, ı/I). With no such item the combo keeps what it had; false then.
// An empty value begins every item: the first is selected.
bool selectByPrefix(QComboBox *combo, const QString &value);
