#include "data/Database.h"

#include "data/Migration.h"
#include "data/Schema.h"

#include <QString>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace db {

bool ensureSchema(FileFault *refusal)
{
    return ensureSchema(schema::kSteps, refusal);
}

bool ensureSchema(std::span<const schema::Step> steps, FileFault *refusal)
{
    newerFile = false;
    if (const Database current = Database::current(); current.isServer()) {
        try {
            prepareServer(current, steps, refusal);
            return !newerFile;
        } catch (const Error &) {
            return false; // every operation then says why
        }
    }
    const QByteArray path = fileName().toUtf8();
    if (isReadOnly())
        return true; // nothing can be added; what is there can still be read
    // A file that is there is never replaced, whatever it holds.
    if (::access(path.constData(), F_OK) == 0 || errno != ENOENT)
        return migrateDatabase(path, false, steps, refusal);

    // A new database is made whole under a name of its own and then put in
    // place in one step: a crash never leaves a half-made Norva.db behind.
    // The file holds passwords: only its owner may read it.
    const QByteArray made = path + '.' + QByteArray::number(::getpid()) + ".new";
    const int fd = ::open(made.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    bool ok = migrateDatabase(made, true, steps, refusal);
    if (ok) {
        const int file = ::open(made.constData(), O_RDONLY | O_CLOEXEC);
        ok = file >= 0 && ::fsync(file) == 0;
        if (file >= 0)
            ::close(file);
    }
    // link() never replaces a database a second copy of the program made meanwhile.
    const bool placed = ok && ::link(made.constData(), path.constData()) == 0;
    const bool madeElsewhere = ok && !placed && errno == EEXIST;
    ::unlink(made.constData());
    return placed || (madeElsewhere && migrateDatabase(path, false, steps, refusal));
}

} // namespace db
