#include "records/Parolalar.h"

#include "data/MembershipStore.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "platform/TextLimit.h"
#include "records/RecordList.h"
#include "ui_Parolalar.h"

using namespace Qt::StringLiterals;

namespace {
// Input limits of the one-line boxes; the notes' is set on its box.
constexpr int kUyelikYeri = 100, kKullaniciAdi = 50, kParola = 50, kMail = 50, kWeb = 255, kNotlar = 255;
} // namespace

Parolalar::Parolalar(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Parolalar>())
{
    ui->setupUi(this);
    m_list = new RecordList(
        ui->uyelikListesi, [this] { OnSelChangeUyelikler(); }, this);
    ui->sidePicture->setPixmap(sidePicture(QSize(86, 470)));
    ui->sidePicture->setAlignment(Qt::AlignTop);
    ui->uyelikYeri->setMaxLength(kUyelikYeri);
    ui->kullaniciAdi->setMaxLength(kKullaniciAdi);
    ui->parola->setMaxLength(kParola);
    ui->mail->setMaxLength(kMail);
    ui->web->setMaxLength(kWeb);
    ui->notlar->setMaxLength(kNotlar);

    connect(ui->yeniKayit, &QPushButton::clicked, this, &Parolalar::OnYeniKayit);
    connect(ui->kaydet, &QPushButton::clicked, this, &Parolalar::OnUyelikKaydet);
    connect(ui->duzelt, &QPushButton::clicked, this, &Parolalar::OnUyelikDuzelt);
    connect(ui->sil, &QPushButton::clicked, this, &Parolalar::OnUyelikSil);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->kopyalaKullaniciAdi, &QPushButton::clicked, this, &Parolalar::OnKopyalaKullaniciAdi);
    connect(ui->kopyalaParola, &QPushButton::clicked, this, &Parolalar::OnKopyalaParola);
    connect(ui->kopyalaMail, &QPushButton::clicked, this, &Parolalar::OnKopyalaMail);
    connect(ui->kopyalaWeb, &QPushButton::clicked, this, &Parolalar::OnKopyalaWeb);

    LoadUyelikler();
}

Parolalar::~Parolalar() = default;

void Parolalar::setButtons(bool yeni, bool kaydet, bool duzelt, bool sil)
{
    ui->yeniKayit->setEnabled(yeni);
    ui->kaydet->setEnabled(kaydet);
    ui->duzelt->setEnabled(duzelt);
    ui->sil->setEnabled(sil);
}

void Parolalar::LoadUyelikler()
{
    m_list->clear();
    try {
        m_list->load(MembershipStore::places(), [this](db::Connection &c) { showSelected(&c); });
    } catch (const db::Error &error) {
        db::showConnectionError(error);
    }
    // Counts what the list shows, also when the load failed.
    ui->toplam->setText(u"Toplam %1 üyelik kaydı mevcut"_s.arg(m_list->count()));
    m_list->showUnreadable(ui->okunamayan);
}

void Parolalar::OnSelChangeUyelikler()
{
    showSelected(nullptr);
}

void Parolalar::showSelected(db::Connection *open)
{
    const std::optional<qint32> rowId = m_list->selectedRowId();
    if (!rowId)
        return;
    m_nSelectedRowId = *rowId;
    ui->uyelikYeri->setEnabled(true);
    if (!LoadUyelikDetay(m_nSelectedRowId, open)) {
        // The boxes may still show another membership: "Düzelt" would write
        // it over this one.
        m_nSelectedRowId = -1;
        setButtons(true, false, false, false);
        return;
    }
    setButtons(true, false, true, true);
}

bool Parolalar::LoadUyelikDetay(qint32 rowId, db::Connection *open)
{
    std::optional<Membership> membership;
    try {
        std::optional<db::Connection> own;
        membership = MembershipStore(open ? *open : own.emplace()).find(rowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return false;
    }
    if (!membership)
        return true; // gone meanwhile: the boxes keep what they showed
    showText(ui->uyelikYeri, membership->place, kUyelikYeri);
    showText(ui->kullaniciAdi, membership->userName, kKullaniciAdi);
    showText(ui->parola, membership->password, kParola);
    showText(ui->mail, membership->mail, kMail);
    showText(ui->web, membership->web, kWeb);
    ui->notlar->showStored(membership->notes);
    return true;
}

Membership Parolalar::typed() const
{
    return {m_nSelectedRowId, ui->uyelikYeri->text(), ui->kullaniciAdi->text(), ui->parola->text(),
            ui->mail->text(), ui->web->text(),        ui->notlar->text()};
}

void Parolalar::OnYeniKayit()
{
    if (Desktop::current().applicationBox(u"Yeni bir kayıt oluşturulsun mu?"_s, Desktop::Icon::Question,
                                          Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    ui->uyelikYeri->setEnabled(true);
    setButtons(false, true, false, false);
    showText(ui->uyelikYeri, {}, kUyelikYeri);
    showText(ui->kullaniciAdi, {}, kKullaniciAdi);
    showText(ui->parola, {}, kParola);
    showText(ui->mail, {}, kMail);
    showText(ui->web, {}, kWeb);
    ui->notlar->clear();
    m_list->clearSelection();
    ui->uyelikYeri->setFocus();
}

void Parolalar::OnUyelikKaydet()
{
    const int added =
        db::changeOrShowError<MembershipStore>([this](MembershipStore &store) { return store.add(typed()); });
    if (added < 0)
        return; // the dialog stays open with everything typed
    Desktop::current().messageBox(this, u"Üyelik Bilgi Kaydı"_s, u"Üyelik bilgisi başarıyla kaydedildi."_s,
                                  Desktop::Icon::Information, Desktop::Buttons::Ok);
    accept();
}

void Parolalar::OnUyelikDuzelt()
{
    Desktop &desktop = Desktop::current();
    if (m_nSelectedRowId == -1) {
        desktop.applicationBox(u"Lütfen önce bir kayıt seçin."_s, Desktop::Icon::Error);
        return;
    }
    const int changed =
        db::changeOrShowError<MembershipStore>([this](MembershipStore &store) { return store.update(typed()); });
    if (changed < 0)
        return;
    if (changed == 0) {
        reportVanishedRecord();
        setButtons(true, false, false, false);
        LoadUyelikler(); // the first membership left, if any, is shown and selected
        return;
    }
    desktop.applicationBox(u"Üyelik bilgisi başarıyla güncellendi."_s, Desktop::Icon::Information);
    accept();
}

void Parolalar::OnUyelikSil()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Seçili üyelik bilgilerini silmek istediğinizden emin misiniz?"_s,
                               Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    const int deleted = db::changeOrShowError<MembershipStore>(
        [this](MembershipStore &store) { return store.remove(m_nSelectedRowId); });
    if (deleted < 0)
        return;
    if (deleted == 0)
        reportVanishedRecord();
    else
        desktop.applicationBox(u"Seçili üyelik bilgisi başarıyla silindi."_s, Desktop::Icon::Information);
    LoadUyelikler();
    // The first membership left is shown, but is changed or deleted only once
    // it is selected.
    setButtons(true, false, false, false);
    if (m_list->count() > 0)
        m_list->highlightFirst(false);
}

void Parolalar::copy(const QLineEdit *box)
{
    Desktop::current().setClipboardText(box->text());
}

void Parolalar::OnKopyalaKullaniciAdi()
{
    copy(ui->kullaniciAdi);
}

void Parolalar::OnKopyalaParola()
{
    Desktop::current().setSecretClipboardText(ui->parola->text());
}

void Parolalar::OnKopyalaMail()
{
    copy(ui->mail);
}

void Parolalar::OnKopyalaWeb()
{
    copy(ui->web);
}
