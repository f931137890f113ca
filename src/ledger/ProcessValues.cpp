#include "ledger/ProcessValues.h"

QString g_strIslemTuru;
QString g_strReportBanner;
QString g_strReportText;
QString g_strReportMonthName;
