#include "platform/StripCellButton.h"

#include "platform/Images.h"

#include <QPainter>

StripCellButton::StripCellButton(QWidget *parent) : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
    setFixedSize(32, 32);
}

void StripCellButton::setCell(int cell)
{
    m_image = imageStripCell(cell);
    update();
}

void StripCellButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, 32, 32, m_image);
}
