#pragma once

#include "framework/DibBitmap.h"
#include "framework/widgets/BasePage.h"

#include <QPoint>

#include <string>

// The sheet's first tab: the applet's cover picture centred over the page's
// wallpaper. The picture is read once, when the sheet's window is created.
class CCoverPage : public CBasePage {
    Q_OBJECT

public:
    // The sheet's wallpaper, which outlives the page, and the picture's file
    // name in the game's Applet Data directory.
    CCoverPage(const CDibBitmap& wallpaper, const char* bitmapName);

    bool OnInitDialog() override;
    // Loads the wallpaper and the picture; always lets the page be created.
    int OnCreate();
    // Where the picture's top-left corner sits in the page's client area.
    QPoint PicturePosition() const;

    // The cover picture; invalid until the window is created or without a
    // readable picture file.
    const CDibBitmap& Picture() const { return m_coverPicture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CDibBitmap m_coverPicture;
    const CDibBitmap& m_wallpaper;
    std::string m_bitmapName;
};
