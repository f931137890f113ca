#include "tools/CChildView.h"

CChildView::CChildView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("childView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
}
