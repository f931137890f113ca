#include "app/Ribbon.h"

#include "platform/Images.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QWidgetAction>

using namespace Qt::StringLiterals;

namespace {

QString toolTipFor(const Ribbon::Command &command)
{
    if (command.description.isEmpty())
        return command.text;
    return u"<b>%1</b><br>%2"_s.arg(command.text.toHtmlEscaped(), command.description.toHtmlEscaped());
}

// A long label on two lines, broken at the space nearest its middle, as ribbons show their large
// buttons: the page then keeps room for every panel at the window's smallest width.
QString buttonText(const QString &text)
{
    if (text.size() <= 12)
        return text;
    qsizetype best = -1;
    for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', at + 1))
        if (best < 0 || qAbs(at - text.size() / 2) < qAbs(best - text.size() / 2))
            best = at;
    return best < 0 ? text : text.left(best) + u'\n' + text.mid(best + 1);
}

QString objectNameFor(int id)
{
    return u"cmd_%1"_s.arg(id);
}

} // namespace

Ribbon::Ribbon(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"ribbon"_s);

    auto *tabRow = m_tabRow = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(tabRow);
    rowLayout->setContentsMargins(2, 2, 4, 0);
    rowLayout->setSpacing(4);

    m_appButton = new QToolButton(tabRow);
    m_appButton->setObjectName(u"ribbonAppButton"_s);
    m_appButton->setIconSize(QSize(26, 26));
    m_appButton->setPopupMode(QToolButton::InstantPopup);
    m_appButton->setToolTip(u"Dosya (Alt+F)"_s);
    m_appButton->setShortcut(QKeySequence(u"Alt+F"_s));
    m_appMenu = new QMenu(m_appButton);
    m_appMenu->setObjectName(u"ribbonAppMenu"_s);
    m_appButton->setMenu(m_appMenu);
    connect(m_appMenu, &QMenu::aboutToShow, this, &Ribbon::applicationMenu);
    rowLayout->addWidget(m_appButton);

    m_tabs = new QTabBar(tabRow);
    m_tabs->setObjectName(u"ribbonTabs"_s);
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    rowLayout->addWidget(m_tabs, 0, Qt::AlignBottom);
    rowLayout->addStretch(1);

    m_corner = new QWidget(tabRow);
    auto *cornerLayout = new QHBoxLayout(m_corner);
    cornerLayout->setContentsMargins(0, 0, 0, 0);
    cornerLayout->setSpacing(2);
    rowLayout->addWidget(m_corner);

    m_pages = new QStackedWidget(this);
    // On a screen narrower than every panel the last ones are cut off rather than the window pushed past it.
    m_pages->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(m_tabs, &QTabBar::currentChanged, m_pages, &QStackedWidget::setCurrentIndex);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabRow);
    layout->addWidget(m_pages);
}

int Ribbon::addCategory(const QString &title)
{
    auto *page = new QWidget(m_pages);
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 3, 4, 2);
    layout->setSpacing(2); // the accounting tab, e-Fatura Al and all, still fits an 800-pixel screen
    layout->addStretch(1);
    m_pages->addWidget(page);
    return m_tabs->addTab(title);
}

void Ribbon::addPanel(int category, const QString &title, const std::vector<Command> &commands)
{
    QWidget *page = m_pages->widget(category);
    auto *pageLayout = static_cast<QHBoxLayout *>(page->layout());

    auto *panel = new QWidget(page);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 0, 2, 0);
    panelLayout->setSpacing(1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    QVBoxLayout *stack = nullptr;
    for (const Command &command : commands) {
        QToolButton *button = makeButton(command, panel);
        if (!command.small) {
            stack = nullptr;
            buttons->addWidget(button, 0, Qt::AlignTop);
            continue;
        }
        if (!stack || stack->count() == 3) {
            stack = new QVBoxLayout;
            stack->setSpacing(0);
            buttons->addLayout(stack);
        }
        stack->addWidget(button, 0, Qt::AlignLeft | Qt::AlignTop);
    }
    panelLayout->addLayout(buttons, 1);
    auto *caption = new QLabel(title, panel);
    caption->setAlignment(Qt::AlignCenter);
    panelLayout->addWidget(caption);
    m_panelTitles << caption;

    auto *separator = new QFrame(page);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Plain);
    m_separators << separator;

    // Keep the closing stretch last.
    const int at = pageLayout->count() - 1;
    pageLayout->insertWidget(at, panel);
    pageLayout->insertWidget(at + 1, separator);
}

QToolButton *Ribbon::makeButton(const Command &command, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectNameFor(command.id));
    button->setText(buttonText(command.text));
    button->setToolTip(toolTipFor(command));
    button->setToolButtonStyle(command.small ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextUnderIcon);
    button->setIconSize(command.small ? QSize(16, 16) : QSize(32, 32));
    button->setAutoRaise(true);
    // The icon and its margins: on a narrow screen the labels are elided, and every panel still shows.
    button->setMinimumWidth(command.small ? 0 : 48);
    if (command.image >= 0)
        button->setIcon(QIcon(imageStripCell(command.image)));
    const int id = command.id;
    connect(button, &QToolButton::clicked, this, [this, id] { emit commandTriggered(id); });
    return button;
}

void Ribbon::setApplicationMenu(const QIcon &icon, const std::vector<Command> &items)
{
    m_appButton->setIcon(icon);
    m_appMenu->clear();
    m_appMenuItems = items;
}

QMenu *Ribbon::applicationMenu()
{
    // The entries are made when the menu is first needed, not while the window comes up.
    if (m_appMenu->isEmpty() && !m_appMenuItems.empty())
        buildApplicationMenu();
    return m_appMenu;
}

void Ribbon::buildApplicationMenu()
{
    for (const Command &item : m_appMenuItems) {
        if (item.id == 0) {
            m_appMenu->addSeparator();
            continue;
        }
        // Large entries showing their description under the caption.
        auto *entry = new QToolButton(m_appMenu);
        entry->setObjectName(u"appmenu_%1"_s.arg(item.id));
        entry->setText(item.description.isEmpty() ? item.text : item.text + u'\n' + item.description);
        entry->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        entry->setIconSize(QSize(32, 32));
        entry->setAutoRaise(true);
        entry->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        if (item.image >= 0)
            entry->setIcon(QIcon(imageStripCell(item.image)));
        auto *action = new QWidgetAction(m_appMenu);
        action->setDefaultWidget(entry);
        action->setText(item.text);
        m_appMenu->addAction(action);
        // A click on the entry and Enter on the highlighted entry both trigger the action.
        const int id = item.id;
        connect(entry, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::triggered, this, [this, id] {
            m_appMenu->close();
            emit commandTriggered(id);
        });
    }
}

QMenu *Ribbon::addCornerMenu(const QString &text)
{
    auto *button = new QToolButton(m_corner);
    button->setText(text);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    auto *menu = new QMenu(button);
    button->setMenu(menu);
    m_corner->layout()->addWidget(button);
    return menu;
}

void Ribbon::addCornerButton(int id, const QIcon &icon, const QString &toolTip, const QKeySequence &shortcut)
{
    auto *button = new QToolButton(m_corner);
    button->setObjectName(objectNameFor(id));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(toolTip);
    button->setShortcut(shortcut);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, [this, id] { emit commandTriggered(id); });
    m_corner->layout()->addWidget(button);
}

QLineEdit *Ribbon::addCornerSearch(const QString &placeholder, const QKeySequence &shortcut)
{
    auto *box = new QLineEdit(m_corner);
    box->setObjectName(u"ara"_s);
    box->setPlaceholderText(placeholder);
    box->setClearButtonEnabled(true);
    box->setMinimumWidth(90); // gives way before the window grows
    box->setMaximumWidth(200);
    auto *focus = new QShortcut(shortcut, this);
    focus->setContext(Qt::WindowShortcut);
    connect(focus, &QShortcut::activated, box, [box] {
        box->setFocus(Qt::ShortcutFocusReason);
        box->selectAll();
    });
    m_corner->layout()->addWidget(box);
    return box;
}

QAbstractButton *Ribbon::button(int id) const
{
    return findChild<QAbstractButton *>(objectNameFor(id));
}

QAbstractButton *Ribbon::applicationMenuEntry(int id)
{
    return applicationMenu()->findChild<QAbstractButton *>(u"appmenu_%1"_s.arg(id));
}

void Ribbon::setColours(const Colours &colours)
{
    m_colours = colours;
    const auto recolour = [](QWidget *widget, std::initializer_list<std::pair<QPalette::ColorRole, QColor>> roles) {
        QPalette palette = widget->palette();
        for (const auto &[role, colour] : roles)
            palette.setColor(role, colour);
        widget->setPalette(palette);
    };
    recolour(this, {{QPalette::WindowText, colours.text}, {QPalette::ButtonText, colours.text}});
    recolour(m_tabs, {{QPalette::Window, colours.tabSelected},
                      {QPalette::Button, colours.tabRow},
                      {QPalette::WindowText, colours.text}});
    recolour(m_appButton, {{QPalette::Button, colours.appButton}, {QPalette::ButtonText, Qt::white}});
    for (QWidget *title : std::as_const(m_panelTitles))
        recolour(title, {{QPalette::WindowText, colours.panelTitle}});
    for (QWidget *separator : std::as_const(m_separators))
        recolour(separator, {{QPalette::WindowText, colours.border}});
    update();
}

void Ribbon::paintEvent(QPaintEvent *)
{
    // The tab row and the pages are transparent: their backgrounds are drawn here.
    QPainter painter(this);
    const QRect row = m_tabRow->geometry();
    painter.fillRect(row, m_colours.tabRow);
    const QRect pages = m_pages->geometry();
    QLinearGradient gradient(pages.topLeft(), pages.bottomLeft());
    gradient.setColorAt(0, m_colours.pagesTop);
    gradient.setColorAt(1, m_colours.pagesBottom);
    painter.fillRect(pages, gradient);
    painter.setPen(m_colours.border);
    painter.drawLine(row.bottomLeft(), row.bottomRight());
    painter.drawLine(pages.bottomLeft(), pages.bottomRight());
}
