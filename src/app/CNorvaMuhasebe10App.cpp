#include "app/CNorvaMuhasebe10App.h"

#include "app/AccessImportDialog.h"
#include "app/BackupsDialog.h"
#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/Commands.h"
#include "app/ConnectionDialog.h"
#include "app/DataSafety.h"
#include "app/DatabaseChoice.h"
#include "app/EInvoiceDialog.h"
#include "app/Themes.h"
#include "app/TrashDialog.h"
#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "core/Trash.h"
#include "data/Database.h"
#include "ledger/ChartsDialog.h"
#include "ledger/GGTurEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/PendingEntriesDialog.h"
#include "ledger/RecurringEntriesDialog.h"
#include "ledger/RegisterDialog.h"
#include "platform/AppInfo.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "platform/ServerChanges.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"
#include "tools/KdvHesaplaDlg.h"
#include "vault/Session.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QStyleFactory>
#include <QTimer>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Norva.db is not there, and the folder it belongs in is closed to this user: nothing
// can be saved, as with a file in such a folder.
bool cannotBeMade()
{
    return !QFileInfo::exists(db::fileName()) && ::access(".", W_OK) != 0;
}

} // namespace

CNorvaMuhasebe10App::CNorvaMuhasebe10App()
    : m_settings(std::make_unique<QSettings>(u"Local AppWizard-Generated Applications"_s, appinfo::title()))
{}

CNorvaMuhasebe10App::~CNorvaMuhasebe10App() = default;

bool CNorvaMuhasebe10App::InitInstance()
{
    // Turkish for order, case and Qt's own dialogs, whatever the system speaks;
    // numbers are still written and read with '.' (see data/Money.h).
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    // Only Qt's own dialogs need it, and none can open before the window is up.
    QTimer::singleShot(0, this, [this] {
        if (m_qtTranslator.load(QLocale(QLocale::Turkish), u"qtbase"_s, u"_"_s,
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&m_qtTranslator);
    });
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    QApplication::setWindowIcon(QIcon(programImage(u":/norva-rezado.png"_s)));
    QGuiApplication::setDesktopFileName(u"norva-rezado"_s);

    // A server named in the environment or the settings is used from the start; it is reached once the window is up.
    m_serverAddress = chooseDatabaseAtStart(QCoreApplication::arguments());
    m_pMainWnd = std::make_unique<CMainFrame>(*this);
    m_pMainWnd->show();

    // A first start creates the database, once the window is up: making the
    // file waits for the disk. A damaged file is met first, before anything
    // writes to it. A file that cannot be used is left alone, and each
    // operation then reports it.
    m_dailyBackup = std::make_unique<DailyBackup>();
    connect(m_dailyBackup.get(), &DailyBackup::failed, m_pMainWnd.get(), &CMainFrame::showBackupFailure);
    QTimer::singleShot(0, this, &CNorvaMuhasebe10App::openDatabase);
    return true;
}

void CNorvaMuhasebe10App::openDatabase()
{
    bool writable = true;
    if (db::Database::current().isServer()) {
        // A server that cannot be reached leaves the window usable: the box says why, and each
        // operation tries again.
        const bool ready = useServer(m_pMainWnd.get(), db::Database::current(), m_serverAddress);
        m_pMainWnd->showDatabaseInUse();
        // Open lists follow what other desks change; a server away now is listened to once it is back.
        ServerChanges::instance().follow(db::Database::current());
        if (!ready)
            return;
    } else {
        if (!recoverDamagedFile())
            return;
        db::FileFault refusal;
        const bool ready = db::ensureSchema(&refusal);
        if (refusal)
            Desktop::current().applicationBox(db::faultText(refusal), Desktop::Icon::Error);
        else if (db::isReadOnly() || (!ready && cannotBeMade()))
            Desktop::current().applicationBox(
                u"%1 yazma izniniz olmayan bir yerde. Kayıtlar listelenebilir ve rapor alınabilir, ancak "
                u"değişiklikler kaydedilemez."_s.arg(db::fileName()),
                Desktop::Icon::Information);
        else if (ready)
            m_dailyBackup->start();
        writable = ready && !refusal && !db::isReadOnly();
    }
    // Recurring entries fallen due are offered once the window is up, only when there are some; a
    // file that cannot be written offers none.
    if (writable)
        QTimer::singleShot(0, m_pMainWnd.get(), [this] { PendingEntriesDialog::offerDue(m_pMainWnd.get()); });
    // Records deleted more than 30 days ago leave the trash. It can wait for the next start
    // when it fails: nothing is shown.
    try {
        core::Trash::purgeExpired();
    } catch (const db::Error &) {
    }
}

int CNorvaMuhasebe10App::ExitInstance()
{
    m_dailyBackup.reset();                                                // a backup under way is finished first
    ServerChanges::instance().follow(db::Database::file(db::fileName())); // the server's listener closed
    m_pMainWnd.reset();
    vault::Session::current().lock(); // the master password's key is wiped
    m_settings->sync();
    return 0;
}

unsigned CNorvaMuhasebe10App::storedApplicationLook() const
{
    bool ok = false;
    const unsigned id = m_settings->value(u"ApplicationLook"_s, themes::kDefaultId).toUInt(&ok);
    return ok && themes::isThemeId(id) ? id : themes::kDefaultId;
}

void CNorvaMuhasebe10App::storeApplicationLook(unsigned id)
{
    m_settings->setValue(u"ApplicationLook"_s, id);
}

bool CNorvaMuhasebe10App::OnCmdMsg(int id)
{
    using Handler = void (CNorvaMuhasebe10App::*)();
    static const struct
    {
        int id;
        Handler handler;
    } table[] = {
        {cmd::FirmaEkle, &CNorvaMuhasebe10App::OnFirmaEkle},
        {cmd::KayitliFirmalar, &CNorvaMuhasebe10App::OnKayitliFirmalar},
        {cmd::HareketTablosu, &CNorvaMuhasebe10App::OnHareketTablosu},
        {cmd::TekrarlayanHareketler, &CNorvaMuhasebe10App::OnTekrarlayanHareketler},
        {cmd::HesapDokumu, &CNorvaMuhasebe10App::OnHesapDokumu},
        {cmd::Grafikler, &CNorvaMuhasebe10App::OnGrafikler},
        {cmd::HesapMakinesi, &CNorvaMuhasebe10App::OnHesapMakinesi},
        {cmd::KdvHesaplama, &CNorvaMuhasebe10App::OnKdvHesaplama},
        {cmd::EDevlet, &CNorvaMuhasebe10App::OnEDevlet},
        {cmd::Gib, &CNorvaMuhasebe10App::OnGib},
        {cmd::DovizKuru, &CNorvaMuhasebe10App::OnDovizKuru},
        {cmd::ProgramiKapat, &CNorvaMuhasebe10App::OnProgramiKapat},
        {cmd::KisiRehberi, &CNorvaMuhasebe10App::OnKisiRehberi},
        {cmd::KayitliLinklerim, &CNorvaMuhasebe10App::OnKayitliLinklerim},
        {cmd::KayitliParolalar, &CNorvaMuhasebe10App::OnKayitliParolalar},
        {cmd::TurleriBelirle, &CNorvaMuhasebe10App::OnTurleriBelirle},
        {cmd::AccessVerisiniAktar, &CNorvaMuhasebe10App::OnAccessVerisiniAktar},
        {cmd::CopKutusu, &CNorvaMuhasebe10App::OnCopKutusu},
        {cmd::YazilimHakkinda, &CNorvaMuhasebe10App::OnAppAbout},
        {cmd::AppAbout, &CNorvaMuhasebe10App::OnAppAbout},
        {cmd::Yedekler, &CNorvaMuhasebe10App::OnYedekler},
        {cmd::VeritabaniBaglantisi, &CNorvaMuhasebe10App::OnVeritabaniBaglantisi},
        {cmd::EFaturaAl, &CNorvaMuhasebe10App::OnEFaturaAl},
    };
    for (const auto &entry : table) {
        if (entry.id == id) {
            (this->*entry.handler)();
            return true;
        }
    }
    return false;
}

// Every dialog of the ribbon runs modally over the main window; its result is not used.
template <typename Dialog>
void CNorvaMuhasebe10App::runDialog()
{
    Dialog dialog(m_pMainWnd.get());
    Desktop::current().runModal(dialog);
}

void CNorvaMuhasebe10App::OnAppAbout()
{
    runDialog<CAboutDlg>();
}

void CNorvaMuhasebe10App::OnFirmaEkle()
{
    runDialog<FirmaEkleDialog>();
}

void CNorvaMuhasebe10App::OnKayitliFirmalar()
{
    runDialog<KayitliFirmalar>();
}

void CNorvaMuhasebe10App::OnHareketTablosu()
{
    runDialog<HareketTablosu>();
}

void CNorvaMuhasebe10App::OnTekrarlayanHareketler()
{
    runDialog<RecurringEntriesDialog>();
}

void CNorvaMuhasebe10App::OnHesapDokumu()
{
    runDialog<RegisterDialog>();
}

void CNorvaMuhasebe10App::OnGrafikler()
{
    runDialog<ChartsDialog>();
}

void CNorvaMuhasebe10App::OnTurleriBelirle()
{
    runDialog<GGTurEkle>();
}

void CNorvaMuhasebe10App::OnAccessVerisiniAktar()
{
    AccessImportDialog::importFile(m_pMainWnd.get());
}

void CNorvaMuhasebe10App::OnEFaturaAl()
{
    EInvoiceDialog::importFiles(m_pMainWnd.get());
}

void CNorvaMuhasebe10App::OnCopKutusu()
{
    runDialog<TrashDialog>();
}

void CNorvaMuhasebe10App::OnKdvHesaplama()
{
    runDialog<KdvHesaplaDlg>();
}

void CNorvaMuhasebe10App::OnKisiRehberi()
{
    runDialog<TelefonRehberi>();
}

void CNorvaMuhasebe10App::OnKayitliParolalar()
{
    runDialog<Parolalar>();
}

void CNorvaMuhasebe10App::OnKayitliLinklerim()
{
    runDialog<KayitliLinkler>();
}

void CNorvaMuhasebe10App::OnYedekler()
{
    runDialog<BackupsDialog>();
}

void CNorvaMuhasebe10App::OnVeritabaniBaglantisi()
{
    ConnectionDialog dialog(m_pMainWnd.get());
    if (Desktop::current().runModal(dialog) != QDialog::Accepted)
        return;
    m_serverAddress.reset();
    if (db::Database::current().isServer())
        m_serverAddress = DatabaseChoice::stored().address;
    m_pMainWnd->showDatabaseInUse();
    ServerChanges::instance().follow(db::Database::current());
    if (!db::Database::current().isServer())
        openDatabase();
}

void CNorvaMuhasebe10App::OnHesapMakinesi()
{
    if (!Desktop::current().startCalculator())
        Desktop::current().applicationBox(
            u"Hesap makinesi açılamadı: bilgisayarda bir hesap makinesi programı bulunamadı."_s, Desktop::Icon::Error);
}

void CNorvaMuhasebe10App::OnEDevlet()
{
    Desktop::current().open(u"https://www.turkiye.gov.tr"_s);
}

void CNorvaMuhasebe10App::OnGib()
{
    Desktop::current().open(u"https://www.gib.gov.tr"_s);
}

void CNorvaMuhasebe10App::OnDovizKuru()
{
    Desktop::current().open(u"https://www.tcmb.gov.tr/kurlar/kurlar_tr.html"_s);
}

void CNorvaMuhasebe10App::OnProgramiKapat()
{
    const auto answer = Desktop::current().messageBox(nullptr, u"Program Kapansın mı?"_s,
                                                      u"Programı kapatmak istediğinizden emin misiniz?"_s,
                                                      Desktop::Icon::Question, Desktop::Buttons::YesNo);
    if (answer == Desktop::Answer::Yes)
        emit quitRequested(0);
}
