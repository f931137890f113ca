#pragma once

#include <QMainWindow>

#include <optional>

class CChildView;
class CNorvaMuhasebe10App;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;
class Ribbon;

// The program's one window: ribbon on top, status bar below, the canvas in between.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(CNorvaMuhasebe10App &app);

    Ribbon *ribbon() const { return m_wndRibbonBar; }
    QMenu *themeMenu() const { return m_themeMenu; }

    // Offers a command to the view (which takes none), then the frame's own
    // table, then the application's.
    void OnCmdMsg(int id);

    void OnApplicationLook(unsigned id);
    void OnUpdateApplicationLook();
    void OnGelir();
    void OnGider();
    void OnArkaplanCiziminiKaydet();
    void OnAra(); // "Ara" with what the ribbon's search box holds
    // A backup that failed, told once in the status bar.
    void showBackupFailure(const QString &text);
    // The server in use, in the status bar and the title; nothing more for Norva.db.
    void showDatabaseInUse();

    // Where the window goes, its frame of `frame` included, on a screen of
    // `screen` whose panels leave `available` free: 1024 by 768 inside the frame,
    // centred on the screen, where that fits in the free area; otherwise as much
    // of the free area as it takes.
    static QRect frameRect(const QRect &screen, const QRect &available, const QMargins &frame);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The invoice files (.xml, .zip) among those dragged.
    static QStringList invoiceFiles(const QMimeData *data);
    void buildRibbon();
    void placeOnScreen();
    bool frameCommand(int id);

    CNorvaMuhasebe10App &m_app;
    Ribbon *m_wndRibbonBar;
    CChildView *m_wndView;
    QMenu *m_themeMenu = nullptr;
    QLabel *m_pane120;
    QLabel *m_pane121;
    QLabel *m_backupNotice;
    QLabel *m_databaseName;
    std::optional<QMargins> m_placedFor; // the frame the window was placed with
};
