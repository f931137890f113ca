#pragma once

#include <QPushButton>

// A button drawn as one cell of the image strip and nothing else (no frame,
// focus or pressed look), with a hand cursor over it.
class StripCellButton : public QPushButton
{
    Q_OBJECT
public:
    explicit StripCellButton(QWidget *parent = nullptr);

    void setCell(int cell);
    QSize sizeHint() const override { return QSize(32, 32); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_image;
};
