#include "records/MasterPasswordDialog.h"

#include "platform/Desktop.h"
#include "ui_MasterPasswordDialog.h"
#include "vault/Session.h"

#include <QGuiApplication>

using namespace Qt::StringLiterals;

MasterPasswordDialog::MasterPasswordDialog(Purpose purpose, std::optional<vault::MasterPassword> stored,
                                           QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::MasterPasswordDialog>()), m_purpose(purpose), m_stored(std::move(stored))
{
    ui->setupUi(this);
    const bool unlocking = purpose == Purpose::Unlock;
    switch (purpose) {
    case Purpose::Set:
        setWindowTitle(u"Ana Parola Belirle"_s);
        ui->aciklama->setText(u"Kullanıcı adları, parolalar, e-posta ve web adresleri ile notlar bu parolayla "
                              u"şifrelenerek saklanacak. Üyelik yerlerinin listesi şifrelenmez."_s);
        break;
    case Purpose::Change:
        setWindowTitle(u"Ana Parolayı Değiştir"_s);
        ui->aciklama->setText(u"Bütün üyelik bilgileri yeni ana parolayla yeniden şifrelenecek."_s);
        break;
    case Purpose::Unlock:
        setWindowTitle(u"Ana Parola"_s);
        ui->aciklama->setText(u"Üyelik bilgileriniz şifreli. Görmek ve değiştirmek için ana parolanızı yazın."_s);
        break;
    }
    ui->tekrarLabel->setVisible(!unlocking);
    ui->tekrar->setVisible(!unlocking);
    ui->guc->setVisible(!unlocking);
    connect(ui->parola, &QLineEdit::textChanged, this, [this] { ui->guc->setText(strength(ui->parola->text())); });
    connect(ui->tamam, &QPushButton::clicked, this, &MasterPasswordDialog::onOk);
    connect(ui->iptal, &QPushButton::clicked, this, &QDialog::reject);
}

MasterPasswordDialog::~MasterPasswordDialog() = default;

QString MasterPasswordDialog::password() const
{
    return ui->parola->text();
}

std::optional<vault::Key> MasterPasswordDialog::takeKey()
{
    return std::exchange(m_key, std::nullopt);
}

namespace {

// Shorter than this a master password is refused: guessed offline in no time.
constexpr qsizetype kMinimumLength = 8;

enum class Level { Weak, Medium, Strong, VeryStrong };

Level levelOf(const QString &password)
{
    bool lower = false, upper = false, digit = false, other = false;
    for (const QChar c : password) {
        lower |= c.isLower();
        upper |= c.isUpper();
        digit |= c.isDigit();
        other |= !c.isLetterOrNumber();
    }
    const int kinds = int(lower) + int(upper) + int(digit) + int(other);
    const qsizetype length = password.size();
    return length < kMinimumLength || kinds < 2 ? Level::Weak
           : length >= 16 && kinds >= 3         ? Level::VeryStrong
           : length >= 12 && kinds >= 3         ? Level::Strong
                                                : Level::Medium;
}

} // namespace

QString MasterPasswordDialog::strength(const QString &password)
{
    if (password.isEmpty())
        return {};
    static const QString names[] = {u"Zayıf"_s, u"Orta"_s, u"Güçlü"_s, u"Çok güçlü"_s};
    return u"Parola gücü: "_s + names[int(levelOf(password))];
}

void MasterPasswordDialog::onOk()
{
    const QString typed = ui->parola->text();
    if (typed.isEmpty()) {
        ui->hata->setText(u"Ana parola boş olamaz."_s);
        return;
    }
    if (m_purpose != Purpose::Unlock) {
        if (typed.size() < kMinimumLength) {
            ui->hata->setText(
                u"Ana parola en az %1 karakter olmalı; daha uzun bir parola yazın."_s.arg(kMinimumLength));
            return;
        }
        if (typed != ui->tekrar->text()) {
            ui->hata->setText(u"İki parola birbirini tutmuyor; yeniden yazın."_s);
            return;
        }
        ui->hata->clear(); // the reason given before no longer holds
        if (levelOf(typed) == Level::Weak &&
            Desktop::current().messageBox(this, windowTitle(),
                                          u"Bu ana parola zayıf: tek tür karakterden oluşuyor (örneğin yalnızca küçük "
                                          u"harf ya da yalnızca rakam) ve kolayca tahmin edilebilir. Harfleri, "
                                          u"rakamları ve işaretleri karıştıran bir parola daha güvenlidir. Bu parola "
                                          u"yine de kullanılsın mı?"_s,
                                          Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
            return;
        accept();
        return;
    }
    // Deriving the key takes a moment on purpose.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_key = m_stored ? vault::unlock(*m_stored, typed) : std::nullopt;
    QGuiApplication::restoreOverrideCursor();
    if (!m_key) {
        ui->hata->setText(u"Ana parola yanlış; yeniden deneyin."_s);
        ui->parola->clear();
        ui->parola->setFocus();
        return;
    }
    accept();
}

const vault::Key *MasterPasswordDialog::unlockedKey(const vault::MasterPassword &stored, QWidget *owner)
{
    vault::Session &session = vault::Session::current();
    // A key kept from before the password was changed elsewhere is asked for anew.
    if (const vault::Key *key = session.key(); key && key->matchesCheck(stored.check))
        return key;
    MasterPasswordDialog dialog(Purpose::Unlock, stored, owner);
    if (Desktop::current().runModal(dialog) != QDialog::Accepted)
        return nullptr;
    std::optional<vault::Key> key = dialog.takeKey();
    if (!key)
        return nullptr;
    session.keep(std::move(*key));
    return session.key();
}
