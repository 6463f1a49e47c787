#include "framework/widgets/TransparentStatic.h"

#include <QPainter>

void CTransparentStatic::paintEvent(QPaintEvent*) {
    if (text().isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setFont(window()->font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, text());
}
