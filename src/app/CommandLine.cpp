#include "app/CommandLine.h"

#include "app/AccessImportDialog.h"
#include "app/EInvoiceDialog.h"
#include "core/ExchangeRates.h"
#include "core/Imports.h"
#include "core/InvoiceImport.h"
#include "data/Database.h"
#include "ledger/RateField.h"
#include "platform/DatabaseErrors.h"

#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
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
                      u"  --import-efatura DOSYA...\n"
                      u"                         e-Fatura ve e-Arşiv faturalarını (XML dosyaları ya da onların\n"
                      u"                         ZIP dosyaları) okur, her birinin nasıl kaydedileceğini yazar.\n"
                      u"  --vkn NUMARA           --import-efatura ile: sizin vergi numaranız (VKN ya da TCKN);\n"
                      u"                         verilmezse daha önce saklanan kullanılır.\n"
                      u"  --yes                  --import-efatura ile: yeni faturaları gelir/gider olarak, yeni\n"
                      u"                         firmalarıyla birlikte kaydeder.\n"
                      u"  --fetch-rates BAŞ SON  TCMB'nin BAŞ ile SON arasındaki her günün kur bültenini getirip\n"
                      u"                         saklar (tarihler GG.AA.YYYY, örneğin 01.12.2026); hafta sonu ve\n"
                      u"                         tatil günleri için bir önceki bülten tutulur. Saklanan bültenlerle\n"
                      u"                         kurlar ağ olmadan da önerilir.\n"
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

// One invoice of the preview on a line: date, number, kind, the other party, amount, VAT, category, state.
QString previewLine(const core::InvoiceImport::Row &row)
{
    if (row.state == core::InvoiceImport::State::Unreadable && row.uuid.isEmpty())
        return u"%1: %2"_s.arg(row.source, invoiceStateText(row));
    QStringList fields{row.date, row.entry.invoice, row.entry.kind,
                       u"%1 (%2)"_s.arg(row.party.name, row.party.taxNumber),
                       u"%1 %2"_s.arg(row.entry.amount, row.entry.currency).trimmed()};
    if (!row.vatRates.isEmpty())
        fields << u"KDV %%1"_s.arg(row.vatRates.join(u", %"_s));
    if (row.state == core::InvoiceImport::State::New)
        fields << (row.entry.category.isEmpty() ? u"(türsüz)"_s : row.entry.category);
    fields << invoiceStateText(row);
    fields.removeAll(QString());
    return fields.join(u"  "_s);
}

int importInvoices(const QStringList &paths, const QString &givenTaxNumber, bool record, QTextStream &out,
                   QTextStream &err)
{
    try {
        core::InvoiceImport import(paths);
        db::FileFault refusal;
        const core::Result<core::Imports::Refusal> ready = core::Imports::prepareFile(&refusal);
        const bool readOnly = ready.isRefused() && ready.refusal == core::Imports::Refusal::ReadOnly;
        if (ready.isRefused() && !readOnly)
            return refuse(err, !refusal
                                   ? u"%1 açılamadı ya da hazırlanamadı."_s.arg(db::Database::current().shownName())
                                   : db::faultText(refusal));
        const QString own = givenTaxNumber.isEmpty() ? core::InvoiceImport::ownTaxNumber() : givenTaxNumber;
        if (!core::isTaxNumber(own))
            return refuse(err, givenTaxNumber.isEmpty()
                                   ? taxNumberWanted() + u" (--vkn NUMARA)"_s
                                   : u"--vkn bir vergi numarası ister: 10 haneli VKN ya da 11 haneli TCKN."_s);
        const std::vector<core::InvoiceImport::Row> rows = import.preview(own);
        qsizetype fresh = 0, read = 0;
        for (const core::InvoiceImport::Row &row : rows) {
            out << previewLine(row) << u"\n"_s;
            fresh += row.state == core::InvoiceImport::State::New;
            read += row.state != core::InvoiceImport::State::Unreadable;
        }
        out << u"%1 fatura: %2 yeni, %3 zaten kayıtlı, %4 okunamadı.\n"_s.arg(rows.size())
                   .arg(fresh)
                   .arg(read - fresh)
                   .arg(qsizetype(rows.size()) - read);
        out.flush();
        if (read == 0)
            return refuse(err, u"Hiçbir fatura okunamadı."_s);
        if (!record || fresh == 0) {
            if (fresh > 0)
                out << u"Yeni faturaları kaydetmek için --yes ekleyin.\n"_s;
            out.flush();
            return 0;
        }
        if (readOnly)
            return refuse(err, u"%1 yazma izniniz olmayan bir yerde; faturalar kaydedilemez."_s.arg(
                                   db::Database::current().shownName()));
        const core::InvoiceImport::Outcome outcome = core::InvoiceImport::record(rows, own);
        if (outcome.result.isRefused())
            return refuse(err, invoiceRefusalText(outcome, rows));
        out << invoiceRecordedText(outcome) << u"\n"_s;
        out.flush();
        return 0;
    } catch (const db::Error &error) {
        return refuse(err, databaseReason(error) + u"\nHiçbir fatura kaydedilmedi."_s);
    }
}

// Makes every day from `fromText` to `toText` known from the central bank's bulletins, fetching
// what is not kept yet; the days after today are left for later.
int fetchRates(const QString &fromText, const QString &toText, QTextStream &out, QTextStream &err)
{
    const QString format = u"dd.MM.yyyy"_s;
    const QDate from = QDate::fromString(fromText, format);
    const QDate to = QDate::fromString(toText, format);
    for (const auto &[day, text] : {std::pair{from, fromText}, std::pair{to, toText}})
        if (!day.isValid())
            return refuse(
                err, u"Tarih anlaşılamadı: %1. Tarihleri GG.AA.YYYY biçiminde yazın (örneğin 01.12.2026)."_s.arg(text));
    if (from > to)
        return refuse(err, u"Başlangıç tarihi (%1) bitiş tarihinden (%2) sonra olamaz."_s.arg(fromText, toText));
    const QDate today = QDate::currentDate();
    if (from > today)
        return refuse(err, u"%1 ve sonrasının kurları henüz yayımlanmadı."_s.arg(fromText));
    db::FileFault refusal;
    const core::Result<core::Imports::Refusal> ready = core::Imports::prepareFile(&refusal);
    if (ready.isRefused())
        return refuse(err, refusal ? db::faultText(refusal)
                                   : u"%1 açılamadı, hazırlanamadı ya da yazılamıyor; kurlar saklanamaz."_s.arg(
                                         db::Database::current().shownName()));
    QList<QDate> days;
    for (QDate day = from; day <= std::min(to, today); day = day.addDays(1))
        days << day;
    const core::RateSource source = ledger::storedRateSource();
    core::RateFetch fetch(source);
    core::RateFetchReport report;
    QEventLoop loop;
    QObject::connect(&fetch, &core::RateFetch::finished, &loop, [&](const core::RateFetchReport &done) {
        report = done;
        loop.quit();
    });
    fetch.start(days, today);
    loop.exec();
    out << u"%1 yeni bülten merkez bankasından getirildi ve saklandı.\n"_s.arg(report.fetched);
    if (report.failure != core::RateFetchFailure::None)
        return refuse(err, ledger::fetchFailureText(report, source.timeoutMs) +
                               u" Getirilenler saklandı; komutu yeniden çalıştırarak kalanları getirebilirsiniz."_s);
    out << u"%1 - %2 arasındaki %3 günün kuru hazır."_s.arg(fromText, std::min(to, today).toString(format))
               .arg(days.size());
    if (to > today)
        out << u" %1 sonrası henüz yayımlanmadığı için atlandı."_s.arg(today.toString(format));
    out << u"\n"_s;
    out.flush();
    return 0;
}

} // namespace

bool wanted(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(u"--import-access"_s) || argument.startsWith(u"--fetch-rates"_s) ||
            argument == "--replace"_L1 || argument == "--help"_L1 || argument == "-h"_L1 ||
            argument == "--version"_L1 || argument == "-v"_L1 || argument.startsWith(u"--import-efatura"_s) ||
            argument.startsWith(u"--vkn"_s) || argument == "--yes"_L1)
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
    const QCommandLineOption invoiceOption(u"import-efatura"_s, {}, u"DOSYA"_s);
    const QCommandLineOption taxNumberOption(u"vkn"_s, {}, u"NUMARA"_s);
    const QCommandLineOption yesOption(u"yes"_s);
    const QCommandLineOption fetchRatesOption(u"fetch-rates"_s, {}, u"BAŞ"_s); // SON follows it
    parser.addOptions({importOption, replaceOption, helpOption, versionOption, serverOption, invoiceOption,
                       taxNumberOption, yesOption, fetchRatesOption});
    const QString more = u"\nSeçenekler için: norva-rezado --help"_s;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString last = arguments.value(arguments.size() - 1);
        const bool rates = std::any_of(arguments.begin(), arguments.end(),
                                       [](const QString &a) { return a.startsWith(u"--fetch-rates"_s); });
        const QString missing = rates
                                    ? u"--fetch-rates iki tarih ister (örneğin --fetch-rates 01.12.2026 31.12.2026)."_s
                                : last == "--vkn"_L1            ? u"--vkn bir vergi numarası ister."_s
                                : last == "--import-efatura"_L1 ? u"--import-efatura bir dosya adı ister."_s
                                                                : u"--import-access bir dosya adı ister."_s;
        return refuse(err, (unknown.isEmpty() ? u"Eksik değer: "_s + missing
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
    if (parser.isSet(invoiceOption)) {
        if (parser.isSet(importOption) || parser.isSet(replaceOption))
            return refuse(err, u"--import-efatura ile --import-access birlikte kullanılamaz."_s + more);
        // The files after the first come as plain arguments: "--import-efatura a.xml b.xml c.zip".
        return importInvoices(parser.values(invoiceOption) + parser.positionalArguments(),
                              parser.value(taxNumberOption).trimmed(), parser.isSet(yesOption), out, err);
    }
    if (parser.isSet(taxNumberOption) || parser.isSet(yesOption))
        return refuse(err, u"--vkn ve --yes yalnızca --import-efatura ile birlikte kullanılır."_s + more);
    if (parser.isSet(fetchRatesOption)) {
        if (parser.isSet(importOption) || parser.isSet(replaceOption))
            return refuse(err, u"--fetch-rates, --import-access ve --replace ile birlikte kullanılmaz."_s + more);
        if (parser.positionalArguments().size() != 1)
            return refuse(err, u"--fetch-rates iki tarih ister: başlangıç ve bitiş (örneğin --fetch-rates 01.12.2026 "
                               u"31.12.2026)."_s +
                                   more);
        return fetchRates(parser.value(fetchRatesOption), parser.positionalArguments().constFirst(), out, err);
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
