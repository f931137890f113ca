#pragma once

#include "app/Commands.h"
#include "app/Ribbon.h"

class QPalette;

// The five looks the program offers, and the stored theme IDs (205 to 219)
// that lead to them.
namespace themes {

enum class Look { Klasik, Siyah, Modern, Mavi, Gumus };

inline constexpr unsigned kFirstId = cmd::Windows2000Tema;
inline constexpr unsigned kLastId = cmd::ModernTema;
inline constexpr unsigned kDefaultId = cmd::VisualStudio2008Tema;

bool isThemeId(unsigned id);
Look lookFor(unsigned id); // any ID outside 205..219 gets the default look
QPalette palette(Look look);
Ribbon::Colours ribbonColours(Look look);

// Sets the application's palette (dialogs included) and returns the ribbon's
// colours for `id`.
Ribbon::Colours apply(unsigned id);

} // namespace themes
