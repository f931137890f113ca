#include "app/AccessImportDialog.h"

#include "ui_AccessImportDialog.h"

#include "core/Imports.h"
#include "data/Database.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "records/MasterPasswordDialog.h"
#include "vault/Session.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>

using namespace Qt::StringLiterals;

namespace {

const QString caption = u"Access Verisini Aktar"_s;

void tell(QWidget *owner, const QString &text, Desktop::Icon icon)
{
    Desktop::current().messageBox(owner, caption, text, icon, Desktop::Buttons::Ok);
}

QString unchanged()
{
    return u"%1 değiştirilmedi."_s.arg(db::Database::current().shownName());
}

QString reasonOf(const exchange::AccessError &error)
{
    return error.detail.isEmpty() ? accessReason(error) : accessReason(error) + u"\n(Ayrıntı: "_s + error.detail + u')';
}

// What happens to the records replaced: Norva.db is copied first; a server's are backed up by its own tools.
QString copyPromise()
{
    const db::Database current = db::Database::current();
    if (current.isServer())
        return u"Sunucudaki kayıtların kopyasını program almaz; gerekiyorsa önce sunucunun yedeğini alın."_s;
    return u"Önce %1'nin bir kopyası alınacak."_s.arg(current.shownName());
}

} // namespace

QString accessReason(const exchange::AccessError &error)
{
    return error.file ? fileFailureText(*error.file) : error.message;
}

QString databaseReason(const db::Error &error)
{
    const QString plain = db::plainReason(error);
    return (plain.isEmpty()
                ? u"%1 okunurken ya da yazılırken bir hata oluştu."_s.arg(db::Database::current().shownName())
                : plain) +
           u"\n(Ayrıntı: "_s + db::describe(error) + u')';
}

AccessImportDialog::AccessImportDialog(std::unique_ptr<core::Imports> import, const QString &path, bool hasRecords,
                                       QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::AccessImportDialog>()), m_import(std::move(import)),
      m_hasRecords(hasRecords)
{
    ui->setupUi(this);
    ui->fileLabel->setText(u"Dosya: %1\nBiçim: %2"_s.arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                                         m_import->file().formatName()));
    const QList<exchange::TableImport> &tables = m_import->file().tables();
    ui->tableList->setRowCount(int(tables.size()));
    for (int row = 0; row < tables.size(); ++row) {
        const exchange::TableImport &table = tables.at(row);
        ui->tableList->setItem(row, 0, new QTableWidgetItem(table.table));
        ui->tableList->setItem(row, 1, new QTableWidgetItem(table.caption));
        auto *count = new QTableWidgetItem(table.found < 0 ? u"dosyada yok"_s : QString::number(table.found));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui->tableList->setItem(row, 2, count);
    }
    ui->tableList->resizeColumnsToContents();
    ui->tableList->horizontalHeader()->setStretchLastSection(true);
    const int rowsHeight = ui->tableList->verticalHeader()->length() + ui->tableList->horizontalHeader()->height();
    ui->tableList->setMinimumHeight(rowsHeight + 2 * ui->tableList->frameWidth());
    ui->tableList->setMinimumWidth(420);
    ui->emptyLabel->setVisible(!m_hasRecords);
    ui->choiceGroup->setVisible(m_hasRecords);
    ui->importButton->setEnabled(m_import->file().rowsFound() > 0);
    connect(ui->importButton, &QPushButton::clicked, this, &AccessImportDialog::onImport);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

AccessImportDialog::~AccessImportDialog() = default;

void AccessImportDialog::importFile(QWidget *owner)
{
    const QString path =
        Desktop::current().openFileName(owner, {caption, QDir::currentPath(), u"Access Veritabanı (*.mdb *.accdb)"_s});
    if (path.isEmpty())
        return;
    std::unique_ptr<core::Imports> import;
    try {
        import = std::make_unique<core::Imports>(path);
    } catch (const exchange::AccessError &error) {
        tell(owner, reasonOf(error), Desktop::Icon::Error);
        return;
    }
    bool hasRecords = false;
    try {
        hasRecords = core::Imports::databaseHasRecords();
    } catch (const db::Error &error) {
        tell(owner, databaseReason(error), Desktop::Icon::Error);
        return;
    }
    AccessImportDialog dialog(std::move(import), path, hasRecords, owner);
    Desktop::current().runModal(dialog);
}

void AccessImportDialog::onImport()
{
    const bool replace = m_hasRecords && ui->replaceChoice->isChecked();
    if (replace &&
        Desktop::current().messageBox(this, caption,
                                      u"%1'deki firmalar, hareketler, türler, kişiler, linkler ve parolalar silinecek; "
                                      u"yerlerine Access dosyasındakiler gelecek. %2\n\n"
                                      u"Devam edilsin mi?"_s.arg(db::Database::current().shownName(), copyPromise()),
                                      Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;

    // Memberships come in sealed while a master password is set: it is asked for first.
    std::optional<vault::MasterPassword> stored;
    try {
        stored = m_import->sealingPassword();
    } catch (const db::Error &error) {
        tell(this, u"Kayıtlar aktarılamadı. "_s + databaseReason(error) + u"\n\n"_s + unchanged(),
             Desktop::Icon::Error);
        return;
    } catch (const vault::Error &error) {
        tell(this, error.message + u"\n\n"_s + unchanged(), Desktop::Icon::Error);
        return;
    }
    if (stored && !MasterPasswordDialog::unlockedKey(*stored, this)) {
        tell(this,
             u"Üyelikleriniz ana parolayla şifreleniyor; ana parola verilmeden kayıtlar aktarılamaz. "_s + unchanged(),
             Desktop::Icon::Information);
        return;
    }

    QProgressDialog progress(u"Kayıtlar aktarılıyor..."_s, u"İptal"_s, 0, m_import->file().rowsFound(), this);
    progress.setWindowTitle(caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    const auto onProgress = [&](int written, int total) {
        progress.setValue(written);
        emit rowsWritten(written, total);
        return !progress.wasCanceled();
    };
    core::Imports::Outcome outcome;
    try {
        outcome = m_import->run(replace ? core::Imports::Mode::Replace : core::Imports::Mode::Add, onProgress,
                                [] { return vault::Session::current().key(); });
    } catch (const db::Error &error) { // the file was read whole before: only the writing can fail
        progress.close();
        tell(this, u"Kayıtlar aktarılamadı. "_s + databaseReason(error) + u"\n\n"_s + unchanged(),
             Desktop::Icon::Error);
        return;
    } catch (const vault::Error &error) {
        progress.close();
        tell(this, error.message + u"\n\n"_s + unchanged(), Desktop::Icon::Error);
        return;
    }
    progress.close();
    if (outcome.result.isRefused() && outcome.result.refusal == core::Imports::Refusal::Cancelled) {
        tell(this, u"Aktarım iptal edildi; %1'de hiçbir şey değişmedi."_s.arg(db::Database::current().shownName()),
             Desktop::Icon::Information);
        return;
    }
    if (outcome.result.isRefused()) {
        tell(this, u"Kayıtlar aktarılamadı: Ana parola kilitlendi; üyelikler şifrelenemedi.\n\n"_s + unchanged(),
             Desktop::Icon::Error);
        return;
    }
    tell(this, u"Aktarım tamamlandı.\n\n"_s + exchange::resultLines(outcome.counts).join(u'\n'),
         Desktop::Icon::Information);
    accept();
}
