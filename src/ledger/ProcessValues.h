#pragma once

#include <QString>

// The kind ("Gelir" or "Gider") the add-entry dialog opens with, set by the
// ribbon's income and expense commands for as long as the program runs.
extern QString g_strIslemTuru;
