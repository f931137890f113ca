#pragma once

#include <QString>

// The program's identity, shown in captions and the status bar.
namespace appinfo {
inline QString title()
{
    return QStringLiteral("Norva Rezado 1.0");
}
} // namespace appinfo
