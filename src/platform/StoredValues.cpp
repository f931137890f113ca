#include "platform/StoredValues.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

// Reach protected members through member pointers, the one way to call them on
// a widget we did not make.
struct ComboAccess : QComboBox
{
    static void styleOption(const QComboBox *combo, QStyleOptionComboBox *option)
    {
        (combo->*&ComboAccess::initStyleOption)(option);
    }
};

struct FrameAccess : QFrame
{
    static void drawFrameOf(QFrame *frame, QPainter *painter) { (frame->*&FrameAccess::drawFrame)(painter); }
};

// Paints the rows of a list or of an open combo box as wide as the view,
// elided at the right where they do not fit, and shows such a row whole as a
// tooltip.
class RowElider final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(0); // the view stretches a row to its own width
        return size;
    }

    // The width a row of `text` needs in `view` to be shown whole.
    static int rowWidth(const QAbstractItemView *view, const QFontMetrics &metrics, const QString &text)
    {
        return metrics.horizontalAdvance(text) + 2 * margin(view->style(), view);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        row.text = shownText(row);
        styleOf(row)->drawControl(QStyle::CE_ItemViewItem, &row, painter, row.widget);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() == QEvent::ToolTip && index.isValid()) {
            QStyleOptionViewItem row = option;
            initStyleOption(&row, index);
            if (shownText(row) != row.text) {
                QToolTip::showText(event->globalPos(), row.text, view->viewport(), option.rect);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

private:
    static const QStyle *styleOf(const QStyleOptionViewItem &row)
    {
        return row.widget ? row.widget->style() : QApplication::style();
    }
    // What the style leaves free on either side of a row's text.
    static int margin(const QStyle *style, const QWidget *widget)
    {
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    }
    // The row's text as it fits its rectangle.
    static QString shownText(const QStyleOptionViewItem &row)
    {
        const QStyle *style = styleOf(row);
        const int width = style->subElementRect(QStyle::SE_ItemViewItemText, &row, row.widget).width() -
                          2 * margin(style, row.widget);
        return row.fontMetrics.elidedText(row.text, Qt::ElideRight, width);
    }
};

// Paints a label's or a closed combo box's text elided when it does not fit,
// and shows the whole text as a tooltip then. Gives a combo box's open list
// the rows of a RowElider.
class Elider final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            if (auto *label = qobject_cast<QLabel *>(watched))
                return paintLabel(label);
            if (auto *combo = qobject_cast<QComboBox *>(watched))
                return paintCombo(combo);
        } else if (event->type() == QEvent::ToolTip) {
            auto *widget = static_cast<QWidget *>(watched);
            const QString text = fullText(widget);
            if (fits(widget, text))
                return false; // the widget's own tooltip, if any
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text, widget);
            return true;
        } else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) {
            if (auto *combo = qobject_cast<QComboBox *>(watched)) // the list may be about to open
                prepareList(combo);
        }
        return false;
    }

private:
    // The open list as wide as its longest entry (the screen still bounds it);
    // made and measured only when it may open, so that filling the combo stays quick.
    void prepareList(QComboBox *combo)
    {
        if (!m_listPrepared) {
            combo->setItemDelegate(new RowElider(combo));
            m_listPrepared = true;
        }
        QAbstractItemView *view = combo->view();
        const QFontMetrics metrics = combo->fontMetrics(); // the font the open list's rows take
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = std::max(widest, RowElider::rowWidth(view, metrics, combo->itemText(i)));
        int chrome = 2 * view->frameWidth();
        if (view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
            chrome += view->verticalScrollBar()->sizeHint().width();
        const QWidget *popup = view->parentWidget();
        const int room =
            combo->screen()->availableGeometry().width() - (popup->width() - popup->contentsRect().width());
        view->setMinimumWidth(std::min(widest + chrome, room));
    }
    static QString fullText(const QWidget *widget)
    {
        if (auto *label = qobject_cast<const QLabel *>(widget))
            return label->text();
        return static_cast<const QComboBox *>(widget)->currentText();
    }
    static QRect textRect(const QWidget *widget)
    {
        if (auto *label = qobject_cast<const QLabel *>(widget))
            return label->contentsRect();
        auto *combo = static_cast<const QComboBox *>(widget);
        QStyleOptionComboBox option;
        ComboAccess::styleOption(combo, &option);
        return combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    }
    static bool fits(const QWidget *widget, const QString &text)
    {
        return widget->fontMetrics().horizontalAdvance(text) <= textRect(widget).width();
    }
    static QString elided(const QWidget *widget, const QString &text)
    {
        return widget->fontMetrics().elidedText(text, Qt::ElideRight, textRect(widget).width());
    }

    static bool paintLabel(QLabel *label)
    {
        const QString text = label->text();
        if (text.contains(u'\n') || fits(label, text))
            return false; // the label paints itself
        QPainter painter(label);
        FrameAccess::drawFrameOf(label, &painter);
        label->style()->drawItemText(&painter, label->contentsRect(), int(label->alignment()), label->palette(),
                                     label->isEnabled(), elided(label, text), label->foregroundRole());
        return true;
    }
    static bool paintCombo(QComboBox *combo)
    {
        if (combo->isEditable() || fits(combo, combo->currentText()))
            return false;
        QStylePainter painter(combo);
        QStyleOptionComboBox option;
        ComboAccess::styleOption(combo, &option);
        option.currentText = elided(combo, option.currentText);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
        return true;
    }

    bool m_listPrepared = false;
};

void installElider(QWidget *widget)
{
    widget->installEventFilter(new Elider(widget));
}

} // namespace

void elideStoredValues(QAbstractItemView *view)
{
    view->setItemDelegate(new RowElider(view));
}

void elideStoredValues(QComboBox *combo)
{
    installElider(combo);
}

void fitStoredValues(QComboBox *combo, int characters)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(characters);
    elideStoredValues(combo);
}

void fitStoredValue(QLabel *label)
{
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
    label->setMinimumWidth(0);
    installElider(label);
}
