#pragma once

#include <QFrame>

class CDibBitmap;

// A bordered picture area that shows a canvas bitmap at its client origin.
// The canvas belongs to the page that draws into it.
class CPictureControl : public QFrame {
    Q_OBJECT

public:
    explicit CPictureControl(QWidget* parent);

    void SetCanvas(const CDibBitmap* canvas);
    // Shows the canvas's current pixels at once.
    void RedrawNow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CDibBitmap* m_canvas = nullptr;
};
