#include "platform/Images.h"

#include <QImageReader>
#include <QPainter>

using namespace Qt::StringLiterals;

QPixmap programImage(const QString &resource)
{
    // Read as PNG straight away: a reader left to guess first asks every image
    // plugin, loading each with its libraries before the window can show.
    QImageReader reader(resource, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QPixmap imageStripCell(int index)
{
    static const QPixmap strip = programImage(u":/strip.png"_s);
    return strip.copy(index * 32, 0, 32, 32);
}

QPixmap sidePicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    gradient.setColorAt(1, QColor(0x6f, 0xa8, 0xdc));
    painter.fillRect(picture.rect(), gradient);
    const QPixmap icon = programImage(u":/norva-rezado.png"_s);
    painter.drawPixmap((size.width() - icon.width()) / 2, 16, icon);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.translate(size.width() / 2 + 8, size.height() - 16);
    painter.rotate(-90);
    painter.drawText(0, 0, u"Norva Rezado"_s);
    return picture;
}
