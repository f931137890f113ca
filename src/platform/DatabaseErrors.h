#pragma once

#include "data/Database.h"

// The boxes that tell the user why a database step failed. The data layer only
// throws; the dialogs show what it threw through these.
namespace db {

void showError(const Error &error);           // the description-only box
void showConnectionError(const Error &error); // "OLEDB Bağlantı Hatası:\nHata: %s\nAçıklama: %s"

// One INSERT, UPDATE or DELETE on a fresh connection: the rows it changed, or
// -1 after the error box has shown why it failed.
int executeOrShowError(const QString &statement, const Values &values = {});
int executeOrShowError(const char *statement, const Values &values = {});

} // namespace db
