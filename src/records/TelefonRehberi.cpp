#include "records/TelefonRehberi.h"

#include "core/Contacts.h"
#include "data/Files.h"
#include "exchange/VCard.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "platform/TextLimit.h"
#include "records/RecordList.h"
#include "ui_TelefonRehberi.h"

using namespace Qt::StringLiterals;

namespace {

const QString kWebDefault = u"https://www."_s;

// Input limits of the one-line boxes; the note's is set on its box.
constexpr int kAdSoyad = 25, kTelefon = 15, kMeslek = 50, kEposta = 100, kWeb = 255, kHakkinda = 255;

} // namespace

const QStringList &TelefonRehberi::memleketler()
{
    return core::Contacts::hometowns();
}

const QStringList &TelefonRehberi::tahsiller()
{
    return core::Contacts::educations();
}

const QStringList &TelefonRehberi::kanGuruplari()
{
    return core::Contacts::bloodGroups();
}

const QStringList &TelefonRehberi::akrabaliklar()
{
    return core::Contacts::relatives();
}

TelefonRehberi::TelefonRehberi(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TelefonRehberi>())
{
    ui->setupUi(this);
    m_list = new RecordList(
        ui->kisiListesi, [this] { OnSelChangeKisiler(); }, this);
    ui->hakkinda->setMaxLength(kHakkinda);
    // The hint goes once a new contact is begun; the fields stay where they are.
    QSizePolicy hint = ui->ipucu->sizePolicy();
    hint.setRetainSizeWhenHidden(true);
    ui->ipucu->setSizePolicy(hint);

    FillMemleketList();
    ui->tahsil->addItems(tahsiller());
    ui->kanGurubu->addItems(kanGuruplari());
    ui->akrabalik->addItems(akrabaliklar());
    showDefaults();

    connect(ui->yeniKisi, &QPushButton::clicked, this, &TelefonRehberi::OnYeniKisi);
    connect(ui->kaydet, &QPushButton::clicked, this, &TelefonRehberi::OnKisiKaydet);
    connect(ui->sil, &QPushButton::clicked, this, &TelefonRehberi::OnKisiSil);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->vcardAktar, &QPushButton::clicked, this, &TelefonRehberi::OnVCardAktar);
    connect(ui->vcardAl, &QPushButton::clicked, this, &TelefonRehberi::OnVCardAl);

    LoadKisiler();
    m_list->followChanges(
        {u"Kisiler"_s}, [] { return core::Contacts::list(); }, [this] { LoadKisiler(); }, [this] { showCount(); });
}

TelefonRehberi::~TelefonRehberi() = default;

void TelefonRehberi::FillMemleketList()
{
    ui->memleket->addItems(memleketler());
}

// The fields of a contact not yet typed.
void TelefonRehberi::showDefaults()
{
    ui->memleket->showStored(memleketler().constFirst());
    ui->tahsil->showStored(tahsiller().constFirst());
    ui->kanGurubu->showStored(kanGuruplari().constFirst());
    ui->akrabalik->showStored(akrabaliklar().constLast()); // "HAYIR"
    showText(ui->adSoyad, {}, kAdSoyad);
    showText(ui->cepNo, {}, kTelefon);
    showText(ui->evNo, {}, kTelefon);
    showText(ui->isNo, {}, kTelefon);
    showText(ui->meslek, {}, kMeslek);
    showText(ui->eposta, {}, kEposta);
    showText(ui->web, kWebDefault, kWeb);
    ui->hakkinda->clear();
}

void TelefonRehberi::setButtons(bool yeni, bool kaydet, bool sil)
{
    ui->yeniKisi->setEnabled(yeni);
    ui->kaydet->setEnabled(kaydet);
    ui->sil->setEnabled(sil);
}

void TelefonRehberi::LoadKisiler()
{
    try {
        m_list->load(core::Contacts::list(), [this](db::Connection &listed) { showSelected(&listed); });
    } catch (const db::Error &error) {
        db::showError(error);
    }
    showCount();
}

void TelefonRehberi::showCount()
{
    // Counts what the list shows, also when the walk failed half-way.
    ui->toplam->setText(u"Toplam %1 kişi mevcut"_s.arg(m_list->count()));
    m_list->showUnreadable(ui->okunamayan);
}

void TelefonRehberi::OnSelChangeKisiler()
{
    showSelected();
}

void TelefonRehberi::showSelected(db::Connection *listed)
{
    const std::optional<qint32> rowId = m_list->selectedRowId();
    if (!rowId)
        return;
    m_nSelectedRowId = *rowId;
    // A contact whose details could not be read is not deleted unseen.
    setButtons(true, false, LoadKisiDetay(m_nSelectedRowId, listed));
}

bool TelefonRehberi::LoadKisiDetay(qint32 rowId, db::Connection *listed)
{
    std::optional<Contact> contact;
    std::optional<db::Error> failure;
    try {
        contact = listed ? core::Contacts::find(*listed, rowId) : core::Contacts::find(rowId);
    } catch (const db::Error &error) {
        // Emptied: the one chosen before must not show beside this one.
        failure = error;
        contact = Contact();
    }
    if (!contact)
        return true; // gone meanwhile: the fields keep what they showed
    showText(ui->adSoyad, contact->name, kAdSoyad);
    showText(ui->cepNo, contact->mobile, kTelefon);
    showText(ui->evNo, contact->homePhone, kTelefon);
    showText(ui->isNo, contact->workPhone, kTelefon);
    showText(ui->meslek, contact->occupation, kMeslek);
    showText(ui->eposta, contact->mail, kEposta);
    showText(ui->web, contact->web, kWeb);
    ui->hakkinda->showStored(contact->about);
    ui->memleket->showStored(contact->hometown);
    ui->tahsil->showStored(contact->education);
    ui->kanGurubu->showStored(contact->bloodGroup);
    ui->akrabalik->showStored(contact->relative);
    if (failure) {
        db::showError(*failure);
        return false;
    }
    return true;
}

void TelefonRehberi::OnYeniKisi()
{
    if (Desktop::current().applicationBox(u"Yeni bir kayıt oluşturulsun mu?"_s, Desktop::Icon::Question,
                                          Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    showDefaults();
    setButtons(false, true, false);
    ui->adSoyad->setEnabled(true);
    ui->ipucu->hide();
    // The list keeps its highlight; clicking that contact shows it again.
    m_list->markUnhandled();
    ui->adSoyad->setFocus();
}

void TelefonRehberi::OnKisiKaydet()
{
    const Contact contact{-1,
                          ui->adSoyad->text(),
                          ui->cepNo->text(),
                          ui->evNo->text(),
                          ui->isNo->text(),
                          ui->meslek->text(),
                          ui->memleket->currentText(),
                          ui->tahsil->currentText(),
                          ui->kanGurubu->currentText(),
                          ui->akrabalik->currentText(),
                          ui->eposta->text(),
                          ui->web->text(),
                          ui->hakkinda->text()};
    try {
        core::Contacts::add(contact);
    } catch (const db::Error &error) {
        db::showError(error);
        return; // the dialog stays open with everything typed
    }
    Desktop::current().messageBox(this, u"Kişi Ekleme"_s, u"Kayıtlı kişiler listesine başarıyla kaydedildi"_s,
                                  Desktop::Icon::Information, Desktop::Buttons::Ok);
    accept();
}

void TelefonRehberi::OnKisiSil()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Seçili kişiyi silmek istediğinizden emin misiniz?"_s, Desktop::Icon::Question,
                               Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change deleted;
    try {
        deleted = core::Contacts::remove(m_nSelectedRowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (deleted.isGone())
        reportVanishedRecord();
    else
        desktop.applicationBox(u"Seçili kişi başarıyla silindi."_s, Desktop::Icon::Information);
    LoadKisiler();
    // The first contact left is shown, but is deleted only once it is selected.
    setButtons(true, false, false);
    if (m_list->count() > 0)
        m_list->highlightFirst(false);
}

void TelefonRehberi::OnVCardAktar()
{
    SaveFileRequest request;
    request.caption = u"vCard Aktar"_s;
    request.fileName = u"Rehber.vcf"_s;
    request.filter = u"vCard Dosyası (*.vcf);;Tüm Dosyalar (*.*)"_s;
    request.defaultSuffix = u"vcf"_s;
    saveToFile(
        this, request,
        [](const QString &path) { return files::writeWhole(path, exchange::vcardBytes(core::Contacts::all())); },
        u"Rehberdeki kişiler %1 dosyasına yazıldı."_s);
}

void TelefonRehberi::OnVCardAl()
{
    OpenFileRequest request;
    request.caption = u"vCard Al"_s;
    request.filter = u"vCard Dosyası (*.vcf);;Tüm Dosyalar (*.*)"_s;
    const std::optional<ChosenFile> file = readChosenFile(this, request);
    if (!file)
        return;
    exchange::VCardRead read = exchange::readVCards(file->bytes);
    const QString skipped =
        read.skipped > 0 ? u" Bozuk olduğu için okunamayan %1 kart atlandı."_s.arg(read.skipped) : QString();
    const std::optional<core::NewRecords<Contact>> added =
        addNewRecords(*file, read.error, read.contacts, &core::Contacts::countSaved, &core::Contacts::addNew, u"kişi"_s,
                      u"Rehbere"_s, skipped);
    if (!added)
        return;
    LoadKisiler();
    QString text = u"%1 kişi rehbere eklendi."_s.arg(added->records.size());
    if (added->same > 0)
        text += u" Kayıtlı bir kişiyle her alanı aynı olan %1 kişi atlandı."_s.arg(added->same);
    Desktop::current().applicationBox(text, Desktop::Icon::Information);
}

void TelefonRehberi::chooseRow(qint32 rowId)
{
    m_list->select(rowId);
}
