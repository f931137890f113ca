#include "records/Parolalar.h"

#include "data/Backup.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "platform/TextLimit.h"
#include "records/MasterPasswordDialog.h"
#include "records/RecordList.h"
#include "ui_Parolalar.h"
#include "vault/Session.h"

#include <QFile>
#include <QLayout>

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
    connect(ui->anaParolaBelirle, &QPushButton::clicked, this, &Parolalar::OnAnaParolaBelirle);
    connect(ui->anaParolaDegistir, &QPushButton::clicked, this, &Parolalar::OnAnaParolaDegistir);
    connect(ui->sifrelemeyiKaldir, &QPushButton::clicked, this, &Parolalar::OnSifrelemeyiKaldir);
    connect(ui->kilitle, &QPushButton::clicked, this, &Parolalar::OnKilitle);
    connect(ui->kilidiAc, &QPushButton::clicked, this, &Parolalar::OnKilidiAc);
    // Readable while "Göster" is held down, and for a moment after.
    m_hidePassword.setSingleShot(true);
    connect(ui->parolaGoster, &QToolButton::pressed, this, [this] {
        m_hidePassword.stop();
        ui->parola->setEchoMode(QLineEdit::Normal);
    });
    connect(ui->parolaGoster, &QToolButton::released, this, [this] { m_hidePassword.start(passwordShownMs); });
    connect(&m_hidePassword, &QTimer::timeout, this, &Parolalar::showVaultState);
    // Locked by the button or after five minutes without use: the boxes forget what they showed.
    connect(&vault::Session::current(), &vault::Session::locked, this, [this] {
        clearDetails();
        m_nSelectedRowId = -1;
        setButtons(true, false, false, false);
        m_list->clearSelection();
        m_hidePassword.stop();
        showVaultState();
    });
    connect(&vault::Session::current(), &vault::Session::unlocked, this, &Parolalar::showVaultState);

    try {
        m_master = core::Memberships::masterPassword();
    } catch (const db::Error &) {
        // The list's load says what is wrong; nothing is written before the state is known (see write).
    } catch (const vault::Error &error) {
        Desktop::current().applicationBox(error.message, Desktop::Icon::Error);
    }
    showVaultState();
    // Asked once per run: the places are listed whatever the answer.
    if (m_master)
        unlockedKey();
    LoadUyelikler();
    m_list->followChanges(
        {u"Parolalar"_s}, [] { return core::Memberships::list(); }, [this] { LoadUyelikler(); },
        [this] { showCount(); });
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
        m_list->load(core::Memberships::list(), [this](db::Connection &listed) { showSelected(&listed); });
    } catch (const db::Error &error) {
        db::showConnectionError(error);
    }
    showCount();
}

void Parolalar::showCount()
{
    // Counts what the list shows, also when the load failed.
    ui->toplam->setText(u"Toplam %1 üyelik kaydı mevcut"_s.arg(m_list->count()));
    m_list->showUnreadable(ui->okunamayan);
}

void Parolalar::OnSelChangeUyelikler()
{
    showSelected(nullptr);
}

void Parolalar::showSelected(db::Connection *listed)
{
    const std::optional<qint32> rowId = m_list->selectedRowId();
    if (!rowId)
        return;
    m_nSelectedRowId = *rowId;
    ui->uyelikYeri->setEnabled(true);
    if (!LoadUyelikDetay(m_nSelectedRowId, listed != nullptr, listed)) {
        // The boxes may still show another membership: "Düzelt" would write
        // it over this one.
        m_nSelectedRowId = -1;
        setButtons(true, false, false, false);
        return;
    }
    setButtons(true, false, true, true);
}

bool Parolalar::LoadUyelikDetay(qint32 rowId, bool listing, db::Connection *listed)
{
    std::optional<Membership> membership;
    try {
        membership = listed ? core::Memberships::find(*listed, rowId) : core::Memberships::find(rowId);
    } catch (const db::Error &error) {
        // Emptied: the membership chosen before must not show beside this one.
        showText(ui->uyelikYeri, {}, kUyelikYeri);
        clearDetails();
        db::showError(error);
        return false;
    }
    m_shown = membership.value_or(Membership());
    if (!membership)
        return true; // gone meanwhile: the boxes keep what they showed
    if (m_master) {
        showText(ui->uyelikYeri, membership->place, kUyelikYeri);
        clearDetails();
        // While the list loads nothing is asked: the user has not chosen a membership yet.
        const vault::Key *key = listing ? vault::Session::current().key() : unlockedKey();
        if (!key)
            return false;
        membership = vault::opened(*key, *membership);
        if (!membership) {
            Desktop::current().applicationBox(
                u"\"%1\" üyeliğinin şifreli bilgileri açılamadı; kayıt bozulmuş olabilir. Diğer üyelikleriniz "
                u"bundan etkilenmez."_s.arg(ui->uyelikYeri->text()),
                Desktop::Icon::Error);
            return false;
        }
    }
    showText(ui->uyelikYeri, membership->place, kUyelikYeri);
    showText(ui->kullaniciAdi, membership->userName, kKullaniciAdi);
    showText(ui->parola, membership->password, kParola);
    showText(ui->mail, membership->mail, kMail);
    showText(ui->web, membership->web, kWeb);
    ui->notlar->showStored(membership->notes);
    return true;
}

std::optional<core::Memberships::Result>
Parolalar::write(const std::function<core::Memberships::Result(const vault::Key *key)> &step)
{
    for (;;) {
        // Looked at again: another window may have set or changed the master password meanwhile.
        if (!vaultStep([] { return core::Memberships::Result::done(); }))
            return std::nullopt;
        const vault::Key *key = nullptr;
        if (m_master && !(key = unlockedKey()))
            return std::nullopt;
        try {
            const core::Memberships::Result result = step(key);
            // Refused when the master password changed since it was looked at: ask with the new one.
            if (!result.isRefused())
                return result;
        } catch (const db::Error &error) {
            db::showError(error);
            return std::nullopt;
        } catch (const vault::Error &error) {
            Desktop::current().applicationBox(error.message, Desktop::Icon::Error);
            return std::nullopt;
        }
    }
}

bool Parolalar::vaultStep(const std::function<core::Memberships::Result()> &step)
{
    Desktop &desktop = Desktop::current();
    std::optional<core::Memberships::Result> result;
    try {
        result = step();
        m_master = core::Memberships::masterPassword();
    } catch (const db::Error &error) {
        db::showError(error);
        result.reset();
    } catch (const vault::Error &error) {
        desktop.applicationBox(error.message, Desktop::Icon::Error);
        result.reset();
    }
    showVaultState();
    if (!result)
        return false;
    if (!result->isRefused())
        return true;
    using Refusal = core::Memberships::Refusal;
    switch (result->refusal) {
    case Refusal::AlreadySet:
        desktop.applicationBox(u"Bir ana parola zaten belirlenmiş."_s, Desktop::Icon::Error);
        break;
    case Refusal::NoMasterPassword:
        desktop.applicationBox(u"Ana parola başka bir yerden kaldırılmış; üyelik bilgileriniz şifrelenmeden "
                               u"saklanıyor. Hiçbir şey değiştirilmedi."_s,
                               Desktop::Icon::Error);
        break;
    case Refusal::Locked:
    case Refusal::WrongKey:
        desktop.applicationBox(u"Ana parola başka bir yerden değiştirilmiş; kilidi yeni ana parolayla açıp yeniden "
                               u"deneyin. Hiçbir şey değiştirilmedi."_s,
                               Desktop::Icon::Error);
        break;
    }
    return false;
}

const vault::Key *Parolalar::unlockedKey()
{
    return m_master ? MasterPasswordDialog::unlockedKey(*m_master, this) : nullptr;
}

void Parolalar::clearDetails()
{
    showText(ui->kullaniciAdi, {}, kKullaniciAdi);
    showText(ui->parola, {}, kParola);
    showText(ui->mail, {}, kMail);
    showText(ui->web, {}, kWeb);
    ui->notlar->clear();
}

void Parolalar::showVaultState()
{
    const bool sealed = m_master.has_value();
    const bool locked = sealed && !vault::Session::current().isUnlocked();
    ui->vaultDurumu->setText(!sealed  ? u"Parolalarınız şifrelenmeden saklanıyor."_s
                             : locked ? u"Kilitli"_s
                                      : u"Parolalarınız ana parolayla şifreli. Ana parolanızı unutursanız şifreli "
                                        u"bilgilere ulaşmanın hiçbir yolu yoktur."_s);
    ui->anaParolaBelirle->setVisible(!sealed);
    ui->kilitle->setVisible(sealed && !locked);
    ui->kilitle->setEnabled(sealed && !locked);
    ui->kilidiAc->setVisible(locked);
    ui->anaParolaDegistir->setVisible(sealed);
    ui->sifrelemeyiKaldir->setVisible(sealed);
    // Behind a master password the password is not shown to whoever looks at the screen.
    ui->parolaGoster->setVisible(sealed);
    if (!ui->parolaGoster->isDown() && !m_hidePassword.isActive())
        ui->parola->setEchoMode(sealed ? QLineEdit::Password : QLineEdit::Normal);
    if (isVisible())
        keepRoomForTheBar();
}

void Parolalar::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    keepRoomForTheBar();
}

void Parolalar::keepRoomForTheBar()
{
    // The dialog's minimum height is reckoned with the bar's text on one line. When it wraps to
    // two, a dialog held to its minimum (on a small screen) would run the list over the line
    // under it.
    QLayout *outer = layout();
    outer->activate();
    setMinimumHeight(outer->totalMinimumHeightForWidth(minimumWidth()));
}

void Parolalar::OnAnaParolaBelirle()
{
    MasterPasswordDialog dialog(MasterPasswordDialog::Purpose::Set, std::nullopt, this);
    if (Desktop::current().runModal(dialog) != QDialog::Accepted)
        return;
    Desktop &desktop = Desktop::current();
    if (!vaultStep([&] { return core::Memberships::setMasterPassword(dialog.password()); }))
        return;
    desktop.applicationBox(u"Ana parola belirlendi; bütün üyelik bilgileri şifrelendi."_s, Desktop::Icon::Information);
    // Copies made before hold the passwords as they were.
    const QList<db::BackupCopy> copies = db::backupCopies();
    if (copies.isEmpty())
        return;
    if (desktop.applicationBox(u"Yedekler klasöründeki %1 yedek, ana parola belirlenmeden önce alındı: onlarda "
                               u"parolalarınız şifrelenmemiş olarak duruyor ve dosyayı eline geçiren herkes "
                               u"okuyabilir. Bu eski yedekler silinsin mi?"_s.arg(copies.size()),
                               Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    QStringList kept;
    for (const db::BackupCopy &copy : copies) {
        if (!QFile::remove(copy.path))
            kept.append(copy.path);
    }
    if (!kept.isEmpty())
        desktop.applicationBox(u"Şu yedekler silinemedi:\n"_s + kept.join(u'\n'), Desktop::Icon::Error);
}

void Parolalar::OnAnaParolaDegistir()
{
    const vault::Key *key = unlockedKey();
    if (!key)
        return;
    MasterPasswordDialog dialog(MasterPasswordDialog::Purpose::Change, std::nullopt, this);
    if (Desktop::current().runModal(dialog) != QDialog::Accepted || !(key = vault::Session::current().key()))
        return;
    if (!vaultStep([&] { return core::Memberships::changeMasterPassword(*key, dialog.password()); }))
        return;
    Desktop::current().applicationBox(u"Ana parola değiştirildi; bütün üyelik bilgileri yeni parolayla şifrelendi."_s,
                                      Desktop::Icon::Information);
}

void Parolalar::OnSifrelemeyiKaldir()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Şifreleme kaldırılsın mı? Üyelik bilgileriniz yeniden şifrelenmeden saklanacak ve "
                               u"dosyayı eline geçiren herkes okuyabilecek."_s,
                               Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    const vault::Key *key = unlockedKey();
    if (!key)
        return;
    if (!vaultStep([key] { return core::Memberships::removeMasterPassword(*key); }))
        return;
    desktop.applicationBox(u"Şifreleme kaldırıldı."_s, Desktop::Icon::Information);
}

void Parolalar::OnKilitle()
{
    vault::Session::current().lock();
}

void Parolalar::OnKilidiAc()
{
    // Asks as choosing a membership does, then shows the first one.
    if (unlockedKey())
        LoadUyelikler();
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
    if (!write([this](const vault::Key *key) { return core::Memberships::add(typed(), key); }))
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
    const std::optional<core::Memberships::Result> changed =
        write([this](const vault::Key *key) { return core::Memberships::update(m_shown, typed(), key); });
    if (!changed)
        return;
    if (changed->isChanged()) {
        // Nothing typed was written: the list and the membership show as they are now.
        db::showChanged(u"Bu üyelik"_s);
        const qint32 shown = m_nSelectedRowId;
        LoadUyelikler();
        m_list->select(shown);
        return;
    }
    if (changed->isGone()) {
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
    core::Change deleted;
    try {
        deleted = core::Memberships::remove(m_nSelectedRowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (deleted.isGone())
        reportVanishedRecord();
    else
        desktop.applicationBox(u"Seçili üyelik bilgisi başarıyla silindi."_s, Desktop::Icon::Information);
    LoadUyelikler();
    // The first membership left is shown and "Düzelt" corrects it as the reload
    // left it, but it is deleted only once it is selected; with none left there
    // is nothing to correct.
    const bool left = m_list->count() > 0;
    setButtons(true, false, left && ui->duzelt->isEnabled(), false);
    if (left)
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

void Parolalar::chooseRow(qint32 rowId)
{
    m_list->select(rowId);
}
