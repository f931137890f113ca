#pragma once

#include <QPixmap>

// One of the program's PNG images (":/strip.png" ...). The format is named,
// so no image plugin is loaded to guess it.
QPixmap programImage(const QString &resource);

// The program's 1152 by 32 image strip: 36 images of 32 by 32.
QPixmap imageStripCell(int index);

// The picture down the left side of the add dialogs.
QPixmap sidePicture(const QSize &size);
