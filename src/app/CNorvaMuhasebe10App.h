#pragma once

#include "core/Server.h"
#include <QObject>
#include <QTranslator>

#include <memory>
#include <optional>

class CMainFrame;
class DailyBackup;
class QDialog;
class QSettings;

// The application: start-up and shutdown, the stored theme, and the handlers
// of most ribbon commands.
class CNorvaMuhasebe10App : public QObject
{
    Q_OBJECT
public:
    CNorvaMuhasebe10App();
    ~CNorvaMuhasebe10App() override;

    bool InitInstance();
    int ExitInstance();

    CMainFrame *mainFrame() const { return m_pMainWnd.get(); }

    // The application's part of the command table; false when the ID is not its own.
    bool OnCmdMsg(int id);

    void OnAppAbout();
    void OnFirmaEkle();
    void OnKayitliFirmalar();
    void OnHareketTablosu();
    void OnTekrarlayanHareketler();
    void OnHesapDokumu();
    void OnGrafikler();
    void OnHesapMakinesi();
    void OnKdvHesaplama();
    void OnEDevlet();
    void OnGib();
    void OnDovizKuru();
    void OnProgramiKapat();
    void OnKisiRehberi();
    void OnKayitliLinklerim();
    void OnKayitliParolalar();
    void OnTurleriBelirle();
    void OnAccessVerisiniAktar();
    void OnEFaturaAl();
    void OnCopKutusu();
    void OnYedekler();
    void OnVeritabaniBaglantisi();

    // "ApplicationLook" in the per-user settings; 210 when none is stored.
    unsigned storedApplicationLook() const;
    void storeApplicationLook(unsigned id);

    unsigned m_nAppLook = 0; // the current theme's command ID

signals:
    // The user confirmed leaving the program.
    void quitRequested(int exitCode);

private:
    // Once the window is up: the server connected, or Norva.db checked, made or brought up to date.
    void openDatabase();
    template <typename Dialog>
    void runDialog();

    QTranslator m_qtTranslator;
    // Kept open: a change is written when the event loop is idle, not while the window comes up.
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    std::unique_ptr<DailyBackup> m_dailyBackup;
    // Where the server of this run came from the settings: a password can be asked for it.
    std::optional<core::ServerAddress> m_serverAddress;
};
