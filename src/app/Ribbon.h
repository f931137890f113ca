#pragma once

#include <QIcon>
#include <QWidget>

#include <vector>

class QAbstractButton;
class QLineEdit;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolButton;

// A small ribbon: the tab row with the application button, the categories
// and a right-hand corner, and one page of panels of large buttons per
// category. Every button reports its command ID through commandTriggered().
class Ribbon : public QWidget
{
    Q_OBJECT
public:
    struct Command
    {
        int id = 0; // 0 makes a separator in menus
        QString text;
        int image = -1; // cell of the image strip, -1 for none
        QString description;
        bool small = false; // a lesser command: a small button, stacked with the next ones
    };

    // The look of the ribbon itself; the rest follows the application palette.
    struct Colours
    {
        QColor text, tabRow, border, tabSelected, pagesTop, pagesBottom, panelTitle, appButton;
    };

    explicit Ribbon(QWidget *parent = nullptr);

    void setColours(const Colours &colours);

    int addCategory(const QString &title);
    void addPanel(int category, const QString &title, const std::vector<Command> &commands);
    void setApplicationMenu(const QIcon &icon, const std::vector<Command> &items);
    QMenu *addCornerMenu(const QString &text);
    void addCornerButton(int id, const QIcon &icon, const QString &toolTip, const QKeySequence &shortcut);
    // A search box at the corner's right; `shortcut` anywhere in the window puts the cursor in it.
    QLineEdit *addCornerSearch(const QString &placeholder, const QKeySequence &shortcut);

    QAbstractButton *button(int id) const; // a panel or corner button
    QAbstractButton *applicationMenuEntry(int id);
    QMenu *applicationMenu(); // made on first use

signals:
    void commandTriggered(int id);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *makeButton(const Command &command, QWidget *parent);
    void buildApplicationMenu();

    QToolButton *m_appButton;
    QMenu *m_appMenu;
    std::vector<Command> m_appMenuItems;
    QWidget *m_tabRow;
    QTabBar *m_tabs;
    QWidget *m_corner;
    QStackedWidget *m_pages;
    QList<QWidget *> m_panelTitles;
    QList<QWidget *> m_separators;
    Colours m_colours;
};
