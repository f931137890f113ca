#pragma once

#include <QString>

// Texts shared between the ledger's dialogs for as long as the program runs.
extern QString g_strIslemTuru;       // "Gelir" or "Gider": the kind the add-entry dialog opens with
extern QString g_strReportBanner;    // the monthly report, handed from the entries table to the viewer
extern QString g_strReportText;
extern QString g_strReportMonthName;
