#pragma once

#include <QString>

// The program's identity, shown in captions and the status bar.
namespace appinfo {
inline QString title()
{
    return QStringLiteral("Norva Rezado 1.0");
}
inline QString projectAddress()
{
    return QStringLiteral("https://github.com/norva-rezado/norva-rezado");
}
} // namespace appinfo
