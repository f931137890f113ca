#include "platform/StoredValues.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

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

// Paints a label's or a closed combo box's text elided when it does not fit,
// and shows the whole text as a tooltip then.
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
                widenList(combo);
        }
        return false;
    }

private:
    // The open list as wide as its longest entry (the screen still bounds it);
    // measured only when it may open, so that filling the combo stays quick.
    static void widenList(QComboBox *combo)
    {
        QAbstractItemView *view = combo->view();
        view->setMinimumWidth(view->sizeHintForColumn(0) + combo->iconSize().width());
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
};

void installElider(QWidget *widget)
{
    widget->installEventFilter(new Elider(widget));
}

} // namespace

void fitStoredValues(QComboBox *combo, int characters)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(characters);
    combo->view()->setTextElideMode(Qt::ElideNone);
    installElider(combo);
}

void fitStoredValue(QLabel *label)
{
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
    label->setMinimumWidth(0);
    installElider(label);
}
