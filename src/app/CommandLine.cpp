#include "app/CommandLine.h"

#include "app/AccessImportDialog.h"
#include "core/Imports.h"
#include "data/Database.h"
#include "platform/DatabaseErrors.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace commandline {

namespace {

const QString usage = u"Kullanım: norva-rezado [seçenekler]\n"
                      u"\n"
                      u"Seçenek verilmezse program penceresiyle açılır.\n"
                      u"\n"
                      u"  --import-access DOSYA  Eski programın Access dosyasındaki (Norva.mdb ya da\n"
                      u"                         Norva.accdb) kayıtları bu klasördeki Norva.db'ye aktarır.\n"
                      u"                         Norva.db'de kayıt varsa dosyadakiler eklenir; aynısı\n"
                      u"                         zaten bulunan kayıtlar atlanır.\n"
                      u"  --replace              --import-access ile: Norva.db'deki kayıtları dosyadakilerle\n"
                      u"                         değiştirir; önce Norva.db'nin bir kopyası alınır.\n"
                      u"  --server               Kayıtları dosyada değil, libpq'nun PG* değişkenlerinin (PGHOST,\n"
                      u"                         PGDATABASE, PGUSER...) gösterdiği PostgreSQL sunucusunda tutar.\n"
                      u"                         NORVA_DATABASE_URL=postgresql://... de aynı işi görür.\n"
                      u"  --data-dir [KLASÖR]    Norva.db'yi ve Yedekler klasörünü çalışılan klasörde değil,\n"
                      u"                         KLASÖR'de tutar; klasör yoksa yalnızca size açık olarak\n"
                      u"                         oluşturulur. KLASÖR verilmezse masaüstü menüsünün klasörü\n"
                      u"                         (~/.local/share/norva-rezado) kullanılır.\n"
                      u"  -v, --version          Programın sürümünü gösterir.\n"
                      u"  -h, --help             Bu yardımı gösterir.\n"_s;

int refuse(QTextStream &err, const QString &reason)
{
    err << reason << u"\n"_s;
    err.flush();
    return 1;
}

// A line from `in`; typed without echo when it is the terminal.
QString readSecretLine(QTextStream &in, QTextStream &err)
{
    err << u"Ana parola: "_s;
    err.flush();
    const auto *file = qobject_cast<QFile *>(in.device());
    const bool terminal = file && file->handle() == STDIN_FILENO && ::isatty(STDIN_FILENO);
    termios saved{};
    if (terminal && ::tcgetattr(STDIN_FILENO, &saved) == 0) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const QString line = in.readLine();
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        err << u"\n"_s;
    }
    return line;
}

int importAccess(const QString &path, bool replace, QTextStream &in, QTextStream &out, QTextStream &err)
{
    const QString unchanged = u"%1 değiştirilmedi."_s.arg(db::Database::current().shownName());
    try {
        // Read whole before Norva.db is made or brought up to date: a file refused leaves the folder as it was.
        core::Imports import(path);
        db::FileFault refusal;
        const core::Result<core::Imports::Refusal> ready = core::Imports::prepareFile(&refusal);
        if (ready.isRefused() && ready.refusal == core::Imports::Refusal::ReadOnly)
            return refuse(err, u"%1 yazma izniniz olmayan bir yerde; kayıtlar aktarılamaz."_s.arg(
                                   db::Database::current().shownName()));
        if (ready.isRefused())
            return refuse(err, !refusal
                                   ? u"%1 açılamadı ya da hazırlanamadı."_s.arg(db::Database::current().shownName())
                                   : db::faultText(refusal));
        out << u"%1 (%2) okundu:\n"_s.arg(QFileInfo(path).fileName(), import.file().formatName());
        for (const QString &line : exchange::foundLines(import.file().tables()))
            out << u"  "_s << line << u"\n"_s;
        out.flush();
        // Memberships come in sealed while a master password is set.
        std::optional<vault::Key> key;
        if (const std::optional<vault::MasterPassword> stored = import.sealingPassword()) {
            key = vault::unlock(*stored, readSecretLine(in, err));
            if (!key)
                return refuse(err, u"Ana parola yanlış; üyelikler şifrelenemezdi. "_s + unchanged);
        }
        const core::Imports::Outcome outcome =
            import.run(replace ? core::Imports::Mode::Replace : core::Imports::Mode::Add, {},
                       [&key] { return key ? &*key : nullptr; });
        if (outcome.result.isRefused()) // no progress to cancel, and the key stays
            return refuse(err, unchanged);
        out << u"Aktarım tamamlandı:\n"_s;
        for (const QString &line : exchange::resultLines(outcome.counts))
            out << u"  "_s << line << u"\n"_s;
        out.flush();
        return 0;
    } catch (const exchange::AccessError &error) {
        return refuse(err, accessReason(error) + u' ' + unchanged);
    } catch (const vault::Error &error) {
        return refuse(err, error.message + u' ' + unchanged);
    } catch (const db::Error &error) {
        return refuse(err, databaseReason(error) + u"\n"_s + unchanged);
    }
}

} // namespace

bool wanted(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(u"--import-access"_s) || argument == "--replace"_L1 || argument == "--help"_L1 ||
            argument == "-h"_L1 || argument == "--version"_L1 || argument == "-v"_L1)
            return true;
    }
    return false;
}

int run(const QStringList &arguments, QTextStream &in, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption importOption(u"import-access"_s, {}, u"DOSYA"_s);
    const QCommandLineOption replaceOption(u"replace"_s);
    const QCommandLineOption helpOption(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption versionOption(QStringList{u"v"_s, u"version"_s});
    const QCommandLineOption serverOption(u"server"_s); // taken before the terminal face starts
    parser.addOptions({importOption, replaceOption, helpOption, versionOption, serverOption});
    const QString more = u"\nSeçenekler için: norva-rezado --help"_s;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return refuse(err, (unknown.isEmpty() ? u"Eksik değer: --import-access bir dosya adı ister."_s
                                              : u"Bilinmeyen seçenek: %1"_s.arg(unknown.constFirst())) +
                               more);
    }
    if (parser.isSet(helpOption)) {
        out << usage;
        out.flush();
        return 0;
    }
    if (parser.isSet(versionOption)) {
        out << u"Norva Rezado %1\n"_s.arg(QStringLiteral(NORVA_VERSION));
        out.flush();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(err, u"Beklenmeyen değer: %1"_s.arg(parser.positionalArguments().constFirst()) + more);
    if (!parser.isSet(importOption))
        return refuse(err, u"--replace yalnızca --import-access ile birlikte kullanılır."_s + more);
    return importAccess(parser.value(importOption), parser.isSet(replaceOption), in, out, err);
}

QString desktopDataFolder()
{
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    return (QDir::isAbsolutePath(base) ? base : QDir::homePath() + u"/.local/share"_s) + u"/norva-rezado"_s;
}

QString useDataFolder(QStringList &arguments)
{
    QString folder;
    bool asked = false;
    for (qsizetype i = 1; i < arguments.size();) {
        const QString argument = arguments.at(i);
        if (argument.startsWith(u"--data-dir="_s)) {
            folder = argument.section(u'=', 1);
            asked = true;
            arguments.removeAt(i);
        } else if (argument == "--data-dir"_L1) {
            asked = true;
            arguments.removeAt(i);
            if (i < arguments.size() && !arguments.at(i).startsWith(u'-'))
                folder = arguments.takeAt(i);
        } else {
            ++i;
        }
    }
    if (!asked)
        return {};
    if (folder.isEmpty())
        folder = desktopDataFolder();
    const QString shown = QDir::toNativeSeparators(folder);
    QFileInfo place(folder);
    if (place.exists() && !place.isDir())
        return u"%1 bir klasör değil; kayıtlar orada tutulamaz."_s.arg(shown);
    if (!place.exists()) {
        // Parents the desktop expects (~/.local/share) are made as usual; the folder itself holds
        // the books and is its owner's alone.
        if (!QDir().mkpath(QFileInfo(QDir(folder).absolutePath()).path()) ||
            !QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return u"%1 klasörü oluşturulamadı. Bulunduğu klasöre yazma izniniz olduğundan emin olun."_s.arg(shown);
    }
    if (!QDir::setCurrent(folder))
        return u"%1 klasörüne girilemedi; erişim izinlerini denetleyin."_s.arg(shown);
    return {};
}

} // namespace commandline
