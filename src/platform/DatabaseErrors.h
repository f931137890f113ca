#pragma once

#include "data/Database.h"

// The boxes that tell the user why a database step failed. The data layer only
// throws; the dialogs show what it threw through these.
namespace db {

// A Turkish sentence for the failures a user can do something about (a lock
// held by another program, a file that is not a database, a full disk, no
// permission, a read-only place); empty for the rest.
QString plainReason(const Error &error);
// The sentence for why a server refused or could not be reached; empty for the rest.
QString serverReason(ErrorKind kind);

// What failed, in a sentence: a step of the program's own in Turkish, naming what
// it names; otherwise the engine's own words.
QString describe(const Error &error);

// Why a database file is not used, naming it; empty when it is sound.
QString faultText(const FileFault &fault);

// The sentence shown beside a list's count when `unreadable` rows were left out
// ("1 kayıt okunamadı."); empty when none were.
QString unreadableNote(int unreadable);

void showError(const Error &error);           // the description-only box
void showConnectionError(const Error &error); // "OLEDB Bağlantı Hatası:\nHata: %s\nAçıklama: %s"

// The box for a record deleted meanwhile by another window or program: `what`
// names it ("Bu firma artık kayıtlı değil"); the caller reloads its list.
void showGone(const QString &what);
// The box for a record another window or desk changed after it was shown, so
// nothing typed was written: `what` names it ("Bu firma"); the caller shows the
// record as it is now.
void showChanged(const QString &what);

// One change through a store on a fresh connection: the rows it changed, or
// -1 after the error box has shown why it failed.
template <typename Store, typename Change>
int changeOrShowError(Change change)
{
    try {
        Connection connection;
        Store store(connection);
        return change(store);
    } catch (const Error &error) {
        showError(error);
        return -1;
    }
}

} // namespace db
