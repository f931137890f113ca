#include "platform/DatabaseErrors.h"

#include "platform/Desktop.h"

using namespace Qt::StringLiterals;

namespace db {

QString plainReason(const Error &error)
{
    if (Database::current().isServer()) {
        if (QString reason = serverReason(error.kind); !reason.isEmpty())
            return reason;
    }
    switch (error.kind) {
    case ErrorKind::Busy:
    case ErrorKind::Locked:
        return u"Veritabanı başka bir program tarafından kullanılıyor (kilitli). O program işini bitirince "
               u"yeniden deneyin."_s;
    case ErrorKind::NotADatabase:
    case ErrorKind::Damaged:
        return u"%1 bir veritabanı dosyası değil ya da bozulmuş; program dosyayı değiştirmedi."_s.arg(fileName());
    case ErrorKind::Full: return u"Diskte yer kalmadı; değişiklik kaydedilemedi."_s;
    case ErrorKind::Denied:
    case ErrorKind::CannotOpen:
        return u"Veritabanına erişilemiyor: dosyaya ya da klasörüne erişim izniniz yok veya dosya yerinde değil."_s;
    case ErrorKind::ReadOnly: return u"Veritabanı dosyası yalnızca okunabilir bir yerde; değişiklikler kaydedilemez."_s;
    case ErrorKind::Other:
    case ErrorKind::Constraint:
    case ErrorKind::InputOutput:
    case ErrorKind::BadPassword:
    case ErrorKind::NoSuchDatabase: break;
    }
    return {};
}

QString serverReason(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::CannotOpen:
        return u"Sunucuya ulaşılamadı. Sunucunun açık, adının ve portunun doğru, ağın bağlı olduğunu denetleyip "
               u"yeniden deneyin."_s;
    case ErrorKind::BadPassword: return u"Sunucu parolayı kabul etmedi."_s;
    case ErrorKind::NoSuchDatabase: return u"Sunucuda bu adla bir veritabanı yok."_s;
    case ErrorKind::Denied:
        return u"Bu kullanıcının sunucudaki kayıtlara erişim izni yok. Veritabanı yöneticinizden bu veritabanının "
               u"tablolarında okuma ve yazma izni isteyin."_s;
    case ErrorKind::Full: return u"Sunucunun diskinde yer kalmadı; değişiklik kaydedilemedi."_s;
    default: return {};
    }
}

QString faultText(const FileFault &fault)
{
    switch (fault.kind) {
    case FileFault::Kind::None: break;
    case FileFault::Kind::Empty: return u"Yedek dosyası boş ya da yok."_s;
    case FileFault::Kind::NotADatabase: return u"%1 bir veritabanı dosyası değil."_s.arg(fault.name);
    case FileFault::Kind::CheckFailed:
        return u"%1 bozulmuş; denetim bir hata buldu (%2)."_s.arg(fault.name, fault.detail);
    case FileFault::Kind::MissingColumns:
        return u"%1 içindeki %2 tablosunda şu sütunlar eksik: %3."_s.arg(fault.name, fault.table,
                                                                         fault.columns.join(u", "_s));
    case FileFault::Kind::Damaged: return u"%1 bozulmuş: %2"_s.arg(fault.name, fault.detail);
    case FileFault::Kind::Newer:
        return u"%1 programın daha yeni bir sürümüyle kaydedilmiş (dosya sürümü %2, bu programın tanıdığı en son "
               u"sürüm %3). Dosyaya dokunulmadı; lütfen programın yeni sürümünü kullanın."_s.arg(fault.name)
                   .arg(fault.version)
                   .arg(fault.newest);
    case FileFault::Kind::NotUpgraded: return u"%1 programın bu sürümüne getirilemedi."_s.arg(fault.name);
    }
    return {};
}

QString unreadableNote(int unreadable)
{
    return unreadable > 0 ? u"%1 kayıt okunamadı."_s.arg(unreadable) : QString();
}

QString describe(const Error &error)
{
    const QString &path = error.subject;
    const QString &reason = error.description;
    switch (error.failure) {
    case Failure::None: break;
    case Failure::NotOpened:
        if (Database::current().isServer())
            return u"Sunucuya bağlanılamadı (%1): %2"_s.arg(path, reason);
        return u"Veritabanı dosyası açılamadı (%1): %2"_s.arg(path, reason);
    case Failure::NewerFile:
        return u"%1 programın daha yeni bir sürümüyle kaydedilmiş; bu sürüm onu açmıyor, dosyaya dokunulmadı."_s.arg(
            path);
    case Failure::BackupFolderNotMade: return u"Yedek klasörü oluşturulamadı (%1): %2"_s.arg(path, reason);
    case Failure::BackupFolderNotAFolder: return u"Yedek klasörü kullanılamıyor: %1 bir klasör değil."_s.arg(path);
    case Failure::BackupFolderReadOnly: return u"Yedek klasörü kullanılamıyor: %1 yalnızca okunabilir."_s.arg(path);
    case Failure::CopyNotMade: return u"Veritabanının kopyası alınamadı (%1): %2"_s.arg(path, reason);
    case Failure::DamagedNotKept: return u"Bozuk dosya saklanamadı (%1): %2"_s.arg(path, reason);
    case Failure::DamagedJournalNotKept: return u"Bozuk dosyanın günlüğü saklanamadı (%1): %2"_s.arg(path, reason);
    case Failure::NotRemoved: return u"%1 kaldırılamadı: %2"_s.arg(path, reason);
    case Failure::NotReplaced: return u"%1 yerine konamadı: %2"_s.arg(path, reason);
    case Failure::NewFileNotMade: return u"Yeni %1 oluşturulamadı."_s.arg(path);
    case Failure::NoSoundCopy: return u"Sağlam bir yedek bulunamadı."_s;
    case Failure::ValueNotRead: return u"Sütun değeri dönüştürülemedi: "_s + path;
    case Failure::UnknownRecordKind:
        return u"Bu kayıt programın tanımadığı bir tablodan (%1) geliyor; geri yüklenemedi."_s.arg(path);
    case Failure::NotKeptInTrash: return u"Silinecek kayıt çöp kutusuna kopyalanamadı; hiçbir şey silinmedi."_s;
    case Failure::ChosenCopyRefused: return u"Seçilen yedek geri yüklenemez: %1"_s.arg(faultText(error.fault));
    case Failure::NewestCopyRefused: return u"En yeni sağlam yedek geri yüklenemez: %1"_s.arg(faultText(error.fault));
    }
    return reason.isEmpty() ? error.message : reason;
}

namespace {

// The engine's own text stays in the box; a failure the user can act on leads
// with a Turkish sentence. The box asks for no icon.
void showBox(const Error &error, const QString &engineText)
{
    const QString reason = plainReason(error);
    Desktop::current().applicationBox(reason.isEmpty() ? engineText : reason + u"\n\n"_s + engineText);
}

} // namespace

void showError(const Error &error)
{
    showBox(error, describe(error));
}

void showConnectionError(const Error &error)
{
    // A value that could not be read is the failure itself; a step of the program's own is its description.
    QString failed = error.message, described = error.description;
    if (error.failure == Failure::ValueNotRead)
        failed = describe(error), described.clear();
    else if (error.failure != Failure::None)
        described = describe(error);
    showBox(error, u"OLEDB Bağlantı Hatası:\nHata: %1\nAçıklama: %2"_s.arg(failed, described));
}

void showGone(const QString &what)
{
    Desktop::current().applicationBox(what + u"; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                                      Desktop::Icon::Error);
}

void showChanged(const QString &what)
{
    Desktop::current().applicationBox(what + u"; siz açtıktan sonra başka bir yerden değiştirilmiş. Yazdıklarınız "
                                             u"kaydedilmedi; kaydın son hâli gösteriliyor."_s,
                                      Desktop::Icon::Error);
}

} // namespace db
