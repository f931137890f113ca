#include "app/ConnectionDialog.h"

#include "app/DatabaseChoice.h"
#include "data/Database.h"
#include "platform/Desktop.h"
#include "ui_ConnectionDialog.h"

using namespace Qt::StringLiterals;

ConnectionDialog::ConnectionDialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::ConnectionDialog>())
{
    ui->setupUi(this);
    ui->tls->addItems(
        {u"Sunucu sunarsa kullan"_s, u"Her zaman kullan"_s, u"Kullan ve sunucunun sertifikasını doğrula"_s});
    const DatabaseChoice choice = DatabaseChoice::stored();
    (choice.server ? ui->sunucu : ui->dosya)->setChecked(true);
    ui->adres->setText(choice.address.host);
    ui->port->setValue(choice.address.port);
    ui->veritabani->setText(choice.address.database);
    ui->kullanici->setText(choice.address.user);
    ui->tls->setCurrentIndex(int(choice.address.tls));
    showChoice();

    connect(ui->sunucu, &QRadioButton::toggled, this, &ConnectionDialog::showChoice);
    connect(ui->dene, &QPushButton::clicked, this, &ConnectionDialog::onTest);
    connect(ui->aktar, &QPushButton::clicked, this, &ConnectionDialog::onCopyFile);
    connect(ui->tamam, &QPushButton::clicked, this, &ConnectionDialog::onOk);
    connect(ui->iptal, &QPushButton::clicked, this, &QDialog::reject);
}

ConnectionDialog::~ConnectionDialog() = default;

core::ServerAddress ConnectionDialog::address() const
{
    return {ui->adres->text().trimmed(), ui->port->value(), ui->veritabani->text().trimmed(),
            ui->kullanici->text().trimmed(), core::ServerAddress::Tls(ui->tls->currentIndex())};
}

void ConnectionDialog::showChoice()
{
    const bool server = ui->sunucu->isChecked();
    ui->sunucuBilgileri->setEnabled(server);
    ui->dene->setEnabled(server);
    ui->aktar->setEnabled(server);
    ui->sonuc->clear();
}

bool ConnectionDialog::reachServer(db::Database &server, core::Server::Outcome &outcome)
{
    const core::ServerAddress typed = address();
    server = serverAt(typed);
    outcome = withPassword(this, server, typed, &core::Server::test);
    return outcome.result.isDone();
}

bool ConnectionDialog::reachServerOrSay(db::Database &server)
{
    core::Server::Outcome outcome;
    if (reachServer(server, outcome))
        return true;
    if (outcome.result.isRefused())
        Desktop::current().applicationBox(serverRefusalText(outcome), Desktop::Icon::Error);
    return false;
}

void ConnectionDialog::onTest()
{
    db::Database server;
    core::Server::Outcome outcome;
    if (reachServer(server, outcome))
        ui->sonuc->setText(u"Bağlantı kuruldu: %1. Kayıtlar bu sunucuda tutulabilir."_s.arg(server.shownName()));
    else if (outcome.result.isRefused())
        ui->sonuc->setText(serverRefusalText(outcome));
}

void ConnectionDialog::onCopyFile()
{
    db::Database server;
    if (!reachServerOrSay(server))
        return;
    const QString file = db::fileName();
    const QString question = u"%1 içindeki bütün kayıtlar (firmalar, hareketler, türler, linkler, parolalar, kişiler "
                             u"ve çöp kutusu) %2 sunucusuna kopyalanacak. Dosyaya dokunulmaz. Devam edilsin mi?"_s.arg(
                                 file, server.shownName());
    if (Desktop::current().applicationBox(question, Desktop::Icon::Question, Desktop::Buttons::YesNo) !=
        Desktop::Answer::Yes)
        return;
    core::Server::Counts copied{};
    const core::Server::Outcome outcome =
        whileWindowWaits([&] { return core::Server::copyFile(file, server, &copied); });
    if (!outcome.result.isDone()) {
        Desktop::current().applicationBox(serverRefusalText(outcome), Desktop::Icon::Error);
        return;
    }
    static constexpr const char16_t *kNames[] = {
        u"firma", u"hareket", u"tür", u"link", u"üyelik", u"kişi", u"çöp kutusunda kayıt"};
    QStringList counts;
    for (size_t t = 0; t < std::size(kNames); ++t)
        counts << u"%1 %2"_s.arg(copied[t]).arg(QString::fromUtf16(kNames[t]));
    // The master password's settings come after the tables named.
    const QString password =
        copied[std::size(kNames)] > 0 ? u" Ana parola da aktarıldı: üyelikler sunucuda da şifreli."_s : QString();
    Desktop::current().applicationBox(
        u"%1 sunucuya aktarıldı: %2.%3\n\nBu bilgisayarda sunucuyu kullanmak için "
        u"\"PostgreSQL sunucusu\" seçiliyken Tamam'a basın."_s.arg(file, counts.join(u", "_s), password),
        Desktop::Icon::Information);
}

void ConnectionDialog::onOk()
{
    DatabaseChoice choice{ui->sunucu->isChecked(), address()};
    if (!choice.server) {
        db::Database::choose(db::Database::file(db::fileName()));
        choice.store();
        accept();
        return;
    }
    // Tried, a password asked for where needed, and brought up to date, in one step.
    if (!useServer(this, serverAt(choice.address), choice.address))
        return;
    choice.store();
    accept();
}
