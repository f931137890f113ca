#include "records/KayitliLinkler.h"

#include "core/Links.h"
#include "data/Files.h"
#include "exchange/Bookmarks.h"
#include "platform/Addresses.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "platform/Images.h"
#include "platform/TextLimit.h"
#include "records/RecordList.h"
#include "ui_KayitliLinkler.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace {
// Input limits of the one-line boxes; the notes' is set on its box.
constexpr int kBaslik = 50, kLink = 255, kNotlar = 255;
} // namespace

KayitliLinkler::KayitliLinkler(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::KayitliLinkler>())
{
    ui->setupUi(this);
    m_list = new RecordList(
        ui->linkListesi, [this] { OnSelChangeLinkler(); }, this);
    ui->sidePicture->setPixmap(sidePicture(QSize(86, 470)));
    ui->sidePicture->setAlignment(Qt::AlignTop);
    ui->baslik->setMaxLength(kBaslik);
    ui->link->setMaxLength(kLink);
    ui->notlar->setMaxLength(kNotlar);

    connect(ui->yeni, &QPushButton::clicked, this, &KayitliLinkler::OnYeniLink);
    connect(ui->kaydet, &QPushButton::clicked, this, &KayitliLinkler::OnLinkKaydet);
    connect(ui->sil, &QPushButton::clicked, this, &KayitliLinkler::OnLinkSil);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->linkAc, &QPushButton::clicked, this, &KayitliLinkler::OnLinkAc);
    connect(ui->yerImleriAktar, &QPushButton::clicked, this, &KayitliLinkler::OnYerImleriniAktar);
    connect(ui->yerImleriAl, &QPushButton::clicked, this, &KayitliLinkler::OnYerImleriniAl);

    LoadLinkler();
    m_list->followChanges(
        {u"Linkler"_s}, [] { return core::Links::list(); }, [this] { LoadLinkler(); }, [this] { showCount(); });
}

KayitliLinkler::~KayitliLinkler() = default;

void KayitliLinkler::setButtons(bool yeni, bool kaydet, bool sil)
{
    ui->yeni->setEnabled(yeni);
    ui->kaydet->setEnabled(kaydet);
    ui->sil->setEnabled(sil);
}

void KayitliLinkler::LoadLinkler()
{
    m_list->clear();
    try {
        m_list->load(core::Links::list(), [this](db::Connection &listed) { showSelected(&listed); });
    } catch (const db::Error &error) {
        db::showError(error);
    }
    showCount();
}

void KayitliLinkler::showCount()
{
    // Counts what the list shows, also when the load failed.
    ui->toplam->setText(u"Toplam %1 link mevcut"_s.arg(m_list->count()));
    m_list->showUnreadable(ui->okunamayan);
}

void KayitliLinkler::OnSelChangeLinkler()
{
    showSelected();
}

void KayitliLinkler::showSelected(db::Connection *listed)
{
    const std::optional<qint32> rowId = m_list->selectedRowId();
    if (!rowId)
        return;
    m_nSelectedRowId = *rowId;
    ui->baslik->setEnabled(true);
    // A link whose details could not be read is not deleted unseen.
    setButtons(true, false, LoadLinkDetay(m_nSelectedRowId, listed));
}

bool KayitliLinkler::LoadLinkDetay(qint32 rowId, db::Connection *listed)
{
    std::optional<Link> link;
    std::optional<db::Error> failure;
    try {
        link = listed ? core::Links::find(*listed, rowId) : core::Links::find(rowId);
    } catch (const db::Error &error) {
        // Emptied: the one chosen before must not show beside this one.
        failure = error;
        link = Link();
    }
    if (!link)
        return true; // gone meanwhile: the boxes keep what they showed
    showText(ui->baslik, link->title, kBaslik);
    showText(ui->link, link->address, kLink);
    ui->notlar->showStored(link->notes);
    if (failure) {
        db::showError(*failure);
        return false;
    }
    return true;
}

void KayitliLinkler::OnYeniLink()
{
    if (Desktop::current().applicationBox(u"Yeni bir kayıt oluşturulsun mu?"_s, Desktop::Icon::Question,
                                          Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    ui->baslik->setEnabled(true);
    setButtons(false, true, false);
    showText(ui->baslik, {}, kBaslik);
    showText(ui->link, {}, kLink);
    ui->notlar->clear();
    m_list->clearSelection();
    ui->baslik->setFocus();
}

void KayitliLinkler::OnLinkKaydet()
{
    const Link link{-1, ui->baslik->text(), ui->link->text(), ui->notlar->text()};
    try {
        core::Links::add(link);
    } catch (const db::Error &error) {
        db::showError(error);
        return; // the dialog stays open with everything typed
    }
    Desktop::current().messageBox(this, u"Link Kaydı...."_s, u"Link başarıyla kaydedildi"_s, Desktop::Icon::Information,
                                  Desktop::Buttons::Ok);
    accept();
}

void KayitliLinkler::OnLinkSil()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Seçili Link kaydını silmek istediğinizden emin misiniz?"_s, Desktop::Icon::Question,
                               Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change deleted;
    try {
        deleted = core::Links::remove(m_nSelectedRowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (deleted.isGone())
        reportVanishedRecord();
    else
        desktop.applicationBox(u"Seçili Link başarıyla silindi."_s, Desktop::Icon::Information);
    LoadLinkler();
    // The first link left is shown, but is deleted only once it is selected.
    setButtons(true, false, false);
    if (m_list->count() > 0)
        m_list->highlightFirst(false);
}

void KayitliLinkler::OnLinkAc()
{
    addresses::open(addresses::web(ui->link->text()));
}

void KayitliLinkler::OnYerImleriniAktar()
{
    SaveFileRequest request;
    request.caption = u"Yer İmlerini Aktar"_s;
    request.fileName = u"Yer-Imleri.html"_s;
    request.filter = u"Yer İmi Dosyası (*.html *.htm)"_s;
    request.defaultSuffix = u"html"_s;
    saveToFile(
        this, request,
        [](const QString &path) {
            return files::writeWhole(path,
                                     exchange::bookmarksHtml(core::Links::all(), QDateTime::currentSecsSinceEpoch()));
        },
        u"Kayıtlı linkler %1 dosyasına yazıldı."_s);
}

void KayitliLinkler::OnYerImleriniAl()
{
    OpenFileRequest request;
    request.caption = u"Yer İmlerini Al"_s;
    request.filter = u"Yer İmi Dosyası (*.html *.htm);;Tüm Dosyalar (*.*)"_s;
    const std::optional<ChosenFile> file = readChosenFile(this, request);
    if (!file)
        return;
    const exchange::BookmarksRead read = exchange::readBookmarks(file->bytes);
    const std::optional<core::NewRecords<Link>> added =
        addNewRecords(*file, read.error, read.links, &core::Links::countSaved, &core::Links::addNew, u"link"_s,
                      u"Kayıtlı linklere"_s);
    if (!added)
        return;
    LoadLinkler();
    QString text = u"%1 link eklendi."_s.arg(added->records.size());
    if (added->same > 0)
        text += u" Kayıtlı bir linkle aynı başlık ve adreste olan %1 link atlandı."_s.arg(added->same);
    Desktop::current().applicationBox(text, Desktop::Icon::Information);
}

void KayitliLinkler::chooseRow(qint32 rowId)
{
    m_list->select(rowId);
}
