#pragma once

#include <QWidget>

// The area below the ribbon, filling the rest of the main window.
class CChildView : public QWidget
{
    Q_OBJECT
public:
    explicit CChildView(QWidget *parent = nullptr);
};
