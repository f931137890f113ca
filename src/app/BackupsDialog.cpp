#include "app/BackupsDialog.h"

#include "core/Backups.h"
#include "data/Database.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "ui_BackupsDialog.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
constexpr int kPathRole = Qt::UserRole;
} // namespace

BackupsDialog::BackupsDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::BackupsDialog>()), m_model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    m_model->setHorizontalHeaderLabels({u"Tarih"_s, u"Tür"_s, u"Boyut"_s, u"Firma"_s, u"Hareket"_s});
    ui->yedekListesi->setModel(m_model);
    ui->yedekListesi->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->yedekListesi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->yedekListesi->header()->setStretchLastSection(false);
    ui->yedekListesi->header()->setSectionResizeMode(1, QHeaderView::Stretch);

    connect(ui->simdiYedekle, &QPushButton::clicked, this, &BackupsDialog::onBackUpNow);
    connect(ui->geriYukle, &QPushButton::clicked, this, &BackupsDialog::onRestore);
    connect(ui->klasoruAc, &QPushButton::clicked, this, &BackupsDialog::onOpenFolder);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->yedekListesi->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ui->geriYukle->setEnabled(!selectedPath().isEmpty()); });

    // A server's records are backed up by the server's own tools: the command is shown, nothing is copied.
    const db::Database current = db::Database::current();
    ui->sunucuNotu->setVisible(current.isServer());
    if (current.isServer()) {
        ui->sunucuNotu->setText(
            u"Kayıtlarınız %1 sunucusunda tutuluyor. Sunucudaki bir veritabanının yedeğini program değil, sunucunun "
            u"kendi araçları alır. Bu veritabanının yedeği için şu komutu çalıştırın (parola ~/.pgpass dosyasından "
            u"okunur):\n\npg_dump --format=custom --file=norva-$(date +%F).dump \"%2\"\n\nGeri yüklemek için: "
            u"pg_restore --clean --dbname=\"%2\" norva-TARİH.dump"_s.arg(current.shownName(),
                                                                         current.shownConnection()));
        for (QWidget *part : {static_cast<QWidget *>(ui->aciklama), static_cast<QWidget *>(ui->yedekListesi),
                              static_cast<QWidget *>(ui->toplam), static_cast<QWidget *>(ui->hata),
                              static_cast<QWidget *>(ui->simdiYedekle), static_cast<QWidget *>(ui->geriYukle),
                              static_cast<QWidget *>(ui->klasoruAc)})
            part->hide();
        return;
    }
    loadCopies();
}

BackupsDialog::~BackupsDialog() = default;

QString BackupsDialog::reasonText(const QString &reason)
{
    if (reason.isEmpty())
        return u"Yedek"_s;
    if (reason == u"aktarim-oncesi"_s)
        return u"Aktarım öncesi"_s;
    if (reason == u"cop-bosaltma"_s)
        return u"Çöp kutusu boşaltılmadan önce"_s;
    if (reason == u"geri-yukleme-oncesi"_s)
        return u"Geri yükleme öncesi"_s;
    return reason;
}

QString BackupsDialog::failureText(const std::optional<db::BackupFailure> &failure)
{
    if (!failure)
        return {};
    return u"Yedek alınamadı: %1"_s.arg(
        failure->diskFull
            ? u"diskte yer kalmadı."_s
            : db::describe(db::Error{failure->description, {}, db::ErrorKind::Other, failure->failure, failure->path}));
}

QString BackupsDialog::sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return u"%1 B"_s.arg(bytes);
    if (bytes < 1024 * 1024)
        return QString::asprintf("%.1f KB", double(bytes) / 1024);
    return QString::asprintf("%.1f MB", double(bytes) / (1024 * 1024));
}

void BackupsDialog::loadCopies()
{
    m_model->removeRows(0, m_model->rowCount());
    const QList<core::Backups::Listed> copies = core::Backups::list();
    for (const auto &[copy, contents] : copies) {
        // An unreadable copy is shown so; restoring it is refused with the reason.
        const QString companies = contents ? QString::number(contents->companies) : u"okunamadı"_s;
        const QString entries = contents ? QString::number(contents->entries) : u"okunamadı"_s;
        QList<QStandardItem *> row{new QStandardItem(copy.made.toString(u"dd.MM.yyyy HH:mm:ss"_s)),
                                   new QStandardItem(reasonText(copy.reason)), new QStandardItem(sizeText(copy.size)),
                                   new QStandardItem(companies), new QStandardItem(entries)};
        row[0]->setData(copy.path, kPathRole);
        row[0]->setToolTip(QFileInfo(copy.path).fileName());
        for (int column = 2; column < row.size(); ++column)
            row[column]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow(row);
    }
    for (int column = 0; column < m_model->columnCount(); ++column)
        ui->yedekListesi->resizeColumnToContents(column);
    ui->toplam->setText(u"Toplam %1 yedek mevcut"_s.arg(copies.size()));
    const QString failure = failureText(core::Backups::lastFailure());
    ui->hata->setText(failure);
    ui->hata->setVisible(!failure.isEmpty());
    ui->geriYukle->setEnabled(false);
}

QString BackupsDialog::selectedPath() const
{
    const QModelIndexList rows = ui->yedekListesi->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : rows.constFirst().data(kPathRole).toString();
}

bool BackupsDialog::runWaiting(const std::function<void()> &step)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool done = true;
    try {
        step();
    } catch (const db::Error &error) {
        QGuiApplication::restoreOverrideCursor();
        db::showError(error);
        done = false;
    }
    if (done)
        QGuiApplication::restoreOverrideCursor();
    loadCopies();
    return done;
}

void BackupsDialog::onBackUpNow()
{
    QString made;
    if (!runWaiting([&made] { made = core::Backups::backUpNow(); }))
        return;
    Desktop::current().applicationBox(u"Yedek alındı: %1"_s.arg(QFileInfo(made).fileName()),
                                      Desktop::Icon::Information);
}

void BackupsDialog::onRestore()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const QString date = ui->yedekListesi->currentIndex().siblingAtColumn(0).data().toString();
    const auto answer = Desktop::current().applicationBox(
        u"%1 tarihli yedek geri yüklensin mi?\n\nŞu anki kayıtlar önce yedeklenir, sonra bütün kayıtlar bu "
        u"yedektekilerle değiştirilir."_s.arg(date),
        Desktop::Icon::Question, Desktop::Buttons::YesNo);
    if (answer != Desktop::Answer::Yes)
        return;
    core::Change restored;
    if (!runWaiting([&] { restored = core::Backups::restore(path); }))
        return;
    if (restored.isGone()) {
        db::showGone(u"Bu yedek artık mevcut değil"_s);
        return;
    }
    Desktop::current().applicationBox(
        u"Yedek geri yüklendi. Geri yüklemeden önceki kayıtlarınız da listede \"Geri yükleme öncesi\" olarak "
        u"duruyor."_s,
        Desktop::Icon::Information);
}

void BackupsDialog::onOpenFolder()
{
    const QString folder = db::backupFolder();
    const QString shown = QDir::toNativeSeparators(folder);
    const QFileInfo info(folder);
    // Only a folder is handed to the file manager: a file of that name would be opened by
    // whatever program the desktop picks for it.
    if (info.exists() && !info.isDir()) {
        Desktop::current().applicationBox(
            u"%1 bir klasör değil. Yedekler bu adda bir klasörde tutulur: aynı adlı dosyanın adını değiştirin ya da "
            u"onu başka bir yere taşıyın."_s.arg(shown),
            Desktop::Icon::Error);
        return;
    }
    // Made owner-only if there is none yet, so the file manager opens something; one that is
    // there keeps the mode its owner gave it.
    if (!info.exists() && !QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        Desktop::current().applicationBox(
            u"Yedekler klasörü oluşturulamadı (%1). Bulunduğu klasöre yazma izniniz olduğundan emin olun."_s.arg(shown),
            Desktop::Icon::Error);
        return;
    }
    if (!Desktop::current().open(QUrl::fromLocalFile(folder).toString()))
        Desktop::current().applicationBox(
            u"Yedekler klasörünü açacak bir program bulunamadı. Klasör şurada: %1"_s.arg(shown), Desktop::Icon::Error);
}
