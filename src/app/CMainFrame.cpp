#include "app/CMainFrame.h"

#include "app/CNorvaMuhasebe10App.h"
#include "app/Commands.h"
#include "app/DatabaseChoice.h"
#include "app/EInvoiceDialog.h"
#include "app/Ribbon.h"
#include "app/SearchDialog.h"
#include "app/Themes.h"
#include "data/Database.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/ProcessValues.h"
#include "platform/AppInfo.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "tools/CChildView.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
} // namespace

CMainFrame::CMainFrame(CNorvaMuhasebe10App &app) : m_app(app)
{
    m_app.m_nAppLook = m_app.storedApplicationLook();

    setWindowTitle(appinfo::title());
    placeOnScreen();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_wndRibbonBar = new Ribbon(central);
    m_wndView = new CChildView(central);
    layout->addWidget(m_wndRibbonBar);
    layout->addWidget(m_wndView, 1);
    setCentralWidget(central);
    buildRibbon();
    connect(m_wndRibbonBar, &Ribbon::commandTriggered, this, &CMainFrame::OnCmdMsg);

    // The project has no web site yet: the pane names the program only.
    m_pane120 = new QLabel(appinfo::title(), this);
    m_pane121 = new QLabel(u"Hazır"_s, this);
    m_pane120->setObjectName(u"pane120"_s);
    m_pane121->setObjectName(u"pane121"_s);
    statusBar()->addWidget(m_pane120, 1);
    statusBar()->addPermanentWidget(m_pane121);
    m_backupNotice = new QLabel(this);
    m_backupNotice->setObjectName(u"backupNotice"_s);
    // A long path never widens the window: the whole text is in the tooltip.
    m_backupNotice->setMaximumWidth(kWidth / 2);
    m_backupNotice->hide();
    statusBar()->addPermanentWidget(m_backupNotice);
    m_databaseName = new QLabel(this);
    m_databaseName->setObjectName(u"databaseName"_s);
    statusBar()->addPermanentWidget(m_databaseName);
    showDatabaseInUse();

    OnApplicationLook(m_app.m_nAppLook);
    setAcceptDrops(true); // invoice files dropped on the window open "e-Fatura Al"
}

void CMainFrame::buildRibbon()
{
    Ribbon &r = *m_wndRibbonBar;
    const QString turleriBelirleInfo =
        u"Gelir ve Gider türlerinizi buradan belirleyin. Örn: Satış Geliri, Reklam Gideri vs.."_s;
    const QString hakkindaInfo = u"Bu programın yapımcısı hakkında bilgi edinebilirsiniz."_s;
    const QString kapatInfo = u"Programı Kapatıp sisteme buradan geri dönersiniz."_s;
    const QString kaydetInfo = u"Arkaplana çizdiğiniz karalamayı kaydeder"_s;
    const QString aktarInfo = u"Eski programın Access dosyasındaki (Norva.mdb) kayıtları buraya aktarır."_s;
    const QString copInfo = u"Son 30 günde sildiğiniz kayıtları buradan geri yükleyebilirsiniz."_s;
    const QString yedeklerInfo = u"Kayıtlarınızın yedeklerini görür, yedek alır ya da geri yüklersiniz."_s;
    const QString dokumInfo = u"Bütün hareketleri tarih, tutar ve yürüyen bakiyeyle tek tabloda görürsünüz."_s;
    const QString grafikInfo = u"Yılın aylık gelir ve giderini, kategorilere göre dağılımını grafikle görürsünüz."_s;
    const QString eFaturaInfo = u"e-Fatura ve e-Arşiv faturalarınızı (XML ya da ZIP) gelir ve gider olarak "
                                u"kaydeder. Dosyaları pencereye sürükleyip bırakabilirsiniz."_s;
    const QString baglantiInfo =
        u"Kayıtlarınızı bu bilgisayardaki dosyada mı, bir PostgreSQL sunucusunda mı tutacağınızı seçersiniz."_s;

    const int muhasebe = r.addCategory(u"Muhasebe"_s);
    r.addPanel(muhasebe, u"Firma İşlemleri"_s,
               {{cmd::FirmaEkle, u"Firma Ekle"_s, cell::FirmaEkle, {}},
                {cmd::KayitliFirmalar, u"Kayıtlı Firmalar"_s, cell::KayitliFirmalar, {}}});
    r.addPanel(muhasebe, u"Cari Hareketler"_s,
               {{cmd::Gelir, u"Gelir"_s, cell::Gelir, {}},
                {cmd::Gider, u"Gider"_s, cell::Gider, {}},
                {cmd::HareketTablosu, u"Hareket Tablosu"_s, cell::HareketTablosu, {}},
                {cmd::TekrarlayanHareketler, u"Tekrarlayan Hareketler"_s, cell::TekrarlayanHareketler, {}},
                {cmd::HesapDokumu, u"Hesap Dökümü"_s, cell::HesapDokumu, dokumInfo, true},
                {cmd::Grafikler, u"Grafikler"_s, cell::Grafikler, grafikInfo, true},

                {cmd::EFaturaAl, u"e-Fatura Al"_s, cell::AccessVerisiniAktar, eFaturaInfo}});
    r.addPanel(muhasebe, u"Yardımcı Araçlar"_s,
               {{cmd::HesapMakinesi, u"Hesap Makinesi"_s, cell::HesapMakinesi, {}},
                {cmd::KdvHesaplama, u"KDV Hesaplama"_s, cell::KdvHesaplama, {}}});
    r.addPanel(muhasebe, u"Yardımcı Siteler"_s,
               {{cmd::EDevlet, u"E-Devlet"_s, cell::EDevlet, {}},
                {cmd::Gib, u"GIB"_s, cell::Gib, {}},
                {cmd::DovizKuru, u"Döviz Kuru"_s, cell::DovizKuru, {}}});
    r.addPanel(muhasebe, u"Programı Kapat"_s,
               {{cmd::ProgramiKapat, u"Programı Kapat"_s, cell::ProgramiKapat, kapatInfo}});

    const int islemler = r.addCategory(u"İşlemler"_s);
    r.addPanel(islemler, u"Kayıtlı Kişiler"_s, {{cmd::KisiRehberi, u"Kişi Rehberi"_s, cell::KisiRehberi, {}}});
    r.addPanel(islemler, u"Kayıtlı Linkler"_s,
               {{cmd::KayitliLinklerim, u"Kayıtlı Linklerim"_s, cell::KayitliLinklerim, {}}});
    r.addPanel(islemler, u"Üyelikler & Parolalar"_s,
               {{cmd::KayitliParolalar, u"Kayıtlı Parolalar"_s, cell::KayitliParolalar, {}}});
    r.addPanel(islemler, u"Gelir Gider Türleri"_s,
               {{cmd::TurleriBelirle, u"Türleri Belirle"_s, cell::TurleriBelirle, turleriBelirleInfo}});
    r.addPanel(islemler, u"Çöp Kutusu"_s, {{cmd::CopKutusu, u"Çöp Kutusu"_s, cell::CopKutusu, copInfo}});
    r.addPanel(islemler, u"Yazılım İşlemleri"_s,
               {{cmd::YazilimHakkinda, u"Yazılım Hakkında"_s, cell::Hakkinda, hakkindaInfo}});

    r.setApplicationMenu(
        QIcon(programImage(u":/appbutton.png"_s)),
        {{cmd::TurleriBelirle, u"Türleri Belirle"_s, cell::TurleriBelirle, turleriBelirleInfo},
         {},
         {cmd::ArkaplanCiziminiKaydet, u"Arkaplan Çizimini Kaydet"_s, cell::ArkaplanCiziminiKaydet, kaydetInfo},
         {cmd::YazilimHakkinda, u"Program Hakkında"_s, cell::Hakkinda, hakkindaInfo},
         {cmd::AccessVerisiniAktar, u"Access Verisini Aktar..."_s, cell::AccessVerisiniAktar, aktarInfo},
         {cmd::CopKutusu, u"Çöp Kutusu"_s, cell::CopKutusu, copInfo},
         {cmd::Yedekler, u"Yedekler"_s, cell::ArkaplanCiziminiKaydet, yedeklerInfo},
         {cmd::VeritabaniBaglantisi, u"Veritabanı Bağlantısı"_s, cell::KayitliLinklerim, baglantiInfo},
         {},
         {cmd::ProgramiKapat, u"Programı Kapat"_s, cell::ProgramiKapat, kapatInfo}});

    m_themeMenu = r.addCornerMenu(u"Görsel Temalar"_s);
    m_themeMenu->setObjectName(u"themeMenu"_s);
    auto *group = new QActionGroup(m_themeMenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const auto addTheme = [&](int id, const QString &text) {
        QAction *action = m_themeMenu->addAction(text);
        action->setCheckable(true);
        action->setData(id);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { OnCmdMsg(id); });
    };
    addTheme(cmd::KlasikTema, u"Klasik Tema"_s);
    m_themeMenu->addSeparator();
    addTheme(cmd::SiyahTema, u"Siyah Tema"_s);
    addTheme(cmd::ModernTema, u"Modern Tema"_s);
    addTheme(cmd::MaviTema, u"Mavi Tema"_s);
    addTheme(cmd::GumusTema, u"Gümüş Tema"_s);
    connect(m_themeMenu, &QMenu::aboutToShow, this, &CMainFrame::OnUpdateApplicationLook);

    // Enter opens "Ara" with what was typed; there the hits follow the text as the user types on. (Opened
    // at the first key, the window would lose the keys typed while it comes up.)
    QLineEdit *search = r.addCornerSearch(u"Ara (Ctrl+F)"_s, QKeySequence::Find);
    connect(search, &QLineEdit::returnPressed, this, [this] { OnCmdMsg(cmd::Ara); });

    r.addCornerButton(cmd::AppAbout, QIcon(programImage(u":/about-16.png"_s)), u"Hakkında (Alt+A)"_s,
                      QKeySequence(u"Alt+A"_s));
}

QRect CMainFrame::frameRect(const QRect &screen, const QRect &available, const QMargins &frame)
{
    QRect rect(QPoint(), QSize(kWidth, kHeight).grownBy(frame).boundedTo(available.size()));
    // Integer division drops the fraction.
    rect.moveTopLeft(screen.topLeft() + QPoint((screen.width() - kWidth) / 2, (screen.height() - kHeight) / 2));
    // Never under a panel nor past the screen's edge.
    rect.moveRight(std::min(rect.right(), available.right()));
    rect.moveBottom(std::min(rect.bottom(), available.bottom()));
    rect.moveLeft(std::max(rect.left(), available.left()));
    rect.moveTop(std::max(rect.top(), available.top()));
    return rect;
}

void CMainFrame::placeOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    // Once placed with its frame, the window is the user's to move and size.
    if (!screen || (m_placedFor && !m_placedFor->isNull()) || windowState() != Qt::WindowNoState)
        return;
    // Some window systems tell the frame only once the window is shown.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (m_placedFor == frame)
        return;
    m_placedFor = frame;
    const QRect rect = frameRect(screen->geometry(), screen->availableGeometry(), frame);
    resize(rect.size().shrunkBy(frame));
    move(rect.topLeft()); // a window's position is its frame's
}

bool CMainFrame::event(QEvent *event)
{
    // Placed again when the window system gives it a frame: on showing, or
    // when the frame comes after.
    if (event->type() == QEvent::Show || event->type() == QEvent::Move || event->type() == QEvent::Resize)
        placeOnScreen();
    return QMainWindow::event(event);
}

void CMainFrame::OnCmdMsg(int id)
{
    if (frameCommand(id))
        return;
    m_app.OnCmdMsg(id);
}

bool CMainFrame::frameCommand(int id)
{
    if (id >= int(themes::kFirstId) && id <= int(themes::kLastId)) {
        OnApplicationLook(unsigned(id));
        return true;
    }
    switch (id) {
    case cmd::Gelir: OnGelir(); return true;
    case cmd::Gider: OnGider(); return true;
    case cmd::ArkaplanCiziminiKaydet: OnArkaplanCiziminiKaydet(); return true;
    case cmd::Ara: OnAra(); return true;
    default: return false;
    }
}

void CMainFrame::OnApplicationLook(unsigned id)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_app.m_nAppLook = id;
    m_wndRibbonBar->setColours(themes::apply(id));
    OnUpdateApplicationLook();
    update();
    m_app.storeApplicationLook(id);
    QGuiApplication::restoreOverrideCursor();
}

void CMainFrame::OnUpdateApplicationLook()
{
    for (QAction *action : m_themeMenu->actions()) {
        if (action->isCheckable())
            action->setChecked(action->data().toUInt() == m_app.m_nAppLook);
    }
}

// The add-entry dialog takes its kind from g_strIslemTuru.
void CMainFrame::OnGelir()
{
    g_strIslemTuru = u"Gelir"_s;
    GelirGiderEkle dialog(this);
    Desktop::current().runModal(dialog);
}

void CMainFrame::OnGider()
{
    g_strIslemTuru = u"Gider"_s;
    GelirGiderEkle dialog(this);
    Desktop::current().runModal(dialog);
}

void CMainFrame::OnAra()
{
    auto *box = m_wndRibbonBar->findChild<QLineEdit *>(u"ara"_s);
    SearchDialog dialog(box->text(), this);
    box->clear();
    Desktop::current().runModal(dialog);
}

void CMainFrame::OnArkaplanCiziminiKaydet()
{
    m_wndView->ArkaplanCiziminiKaydet();
}

void CMainFrame::showDatabaseInUse()
{
    const db::Database current = db::Database::current();
    m_databaseName->setVisible(current.isServer());
    m_databaseName->setText(current.isServer() ? u"Sunucu: %1"_s.arg(current.shownName()) : QString());
    setWindowTitle(current.isServer() ? u"%1 - %2"_s.arg(appinfo::title(), current.shownName()) : appinfo::title());
    statusBar()->setToolTip(recordsPlace());
}

void CMainFrame::showBackupFailure(const QString &text)
{
    m_backupNotice->setText(text);
    m_backupNotice->setToolTip(text);
    m_backupNotice->show();
}

QStringList CMainFrame::invoiceFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && EInvoiceDialog::takesFile(url.toLocalFile()))
            paths << url.toLocalFile();
    return paths;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!invoiceFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QStringList paths = invoiceFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that the dragging program is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, paths] { EInvoiceDialog::importFiles(this, paths); }, Qt::QueuedConnection);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // The close box cannot be greyed everywhere: it asks like "Programı Kapat".
    event->ignore();
    m_app.OnCmdMsg(cmd::ProgramiKapat);
}

void CMainFrame::focusInEvent(QFocusEvent *event)
{
    QMainWindow::focusInEvent(event);
    m_wndView->setFocus();
}
