#include "app/DataSafety.h"

#include "app/BackupsDialog.h"
#include "core/Backups.h"
#include "data/Backup.h"
#include "data/Database.h"
#include "platform/AppInfo.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"

#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QThread>

#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

bool recoverDamagedFile()
{
    const QString problem = db::faultText(db::damage(db::fileName()));
    if (problem.isEmpty())
        return true;
    const QString copy = db::newestSoundCopy();
    const QString restore = u"Yedekten Geri Yükle"_s, startNew = u"Yeni Dosya Başlat"_s;
    QStringList choices;
    if (!copy.isEmpty())
        choices << restore;
    choices << startNew;
    // With one button there is nothing to choose: the box says what will happen.
    const QString offer =
        copy.isEmpty()
            ? u"Yedekler klasöründe sağlam bir yedek yok; yeni, boş bir dosyayla başlanacak. Bozuk dosya silinmez: "
              u"tarihli bir adla yanında saklanır."_s
            : u"Kayıtlarınızı en son sağlam yedekten (%1) geri yükleyebilir ya da yeni, boş bir dosyayla "
              u"başlayabilirsiniz. Hangisini seçerseniz seçin, bozuk dosya silinmez: tarihli bir adla yanında "
              u"saklanır."_s.arg(QFileInfo(copy).fileName());
    const int chosen = Desktop::current().choiceBox(nullptr, appinfo::title(), problem + u"\n\n"_s + offer,
                                                    Desktop::Icon::Error, choices);
    if (chosen < 0)
        return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        QString from;
        const QString kept = choices[chosen] == startNew ? db::startNewFile() : db::restoreNewestSound(&from);
        QGuiApplication::restoreOverrideCursor();
        const QString done = from.isEmpty()
                                 ? u"Yeni, boş bir %1 oluşturuldu."_s.arg(db::fileName())
                                 : u"Kayıtlar %1 yedeğinden geri yüklendi."_s.arg(QFileInfo(from).fileName());
        Desktop::current().applicationBox(
            u"%1 Bozuk dosya \"%2\" adıyla saklandı."_s.arg(done, QFileInfo(kept).fileName()),
            Desktop::Icon::Information);
        return true;
    } catch (const db::Error &error) {
        QGuiApplication::restoreOverrideCursor();
        db::showError(error);
        return false;
    }
}

DailyBackup::~DailyBackup()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void DailyBackup::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] {
        // Behind the window and the user's work, but never starved of the processor: the
        // program waits for a backup under way before it ends.
        ::setpriority(PRIO_PROCESS, ::gettid(), 10);
        try {
            core::Backups::backUpIfDue(QDateTime::currentDateTime());
        } catch (const db::Error &) {
            emit failed(BackupsDialog::failureText(core::Backups::lastFailure()));
        }
    });
    m_thread->start();
}
