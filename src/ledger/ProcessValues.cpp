#include "ledger/ProcessValues.h"

QString g_strIslemTuru;
