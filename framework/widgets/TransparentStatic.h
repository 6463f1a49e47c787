#pragma once

#include <QLabel>

// A label that paints nothing but its text, top-left and unwrapped, in the font
// of its top-level window, so the page's wallpaper shows around the letters.
class CTransparentStatic : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};
