#include "ui/widgets/PictureControl.h"

#include "framework/DibBitmap.h"

#include <QPainter>

CPictureControl::CPictureControl(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void CPictureControl::SetCanvas(const CDibBitmap* canvas) {
    m_canvas = canvas;
    update();
}

void CPictureControl::RedrawNow() {
    repaint();
}

void CPictureControl::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_canvas == nullptr || !m_canvas->IsValid()) {
        return;
    }
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    m_canvas->Draw(painter, client.x(), client.y());
}
