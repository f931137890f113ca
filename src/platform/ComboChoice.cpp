#include "platform/ComboChoice.h"

#include <QComboBox>
#include <QLocale>

bool selectByPrefix(QComboBox *combo, const QString &value)
{
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QString wanted = turkish.toUpper(value);
    for (int i = 0; i < combo->count(); ++i) {
        if (turkish.toUpper(combo->itemText(i)).startsWith(wanted)) {
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}
