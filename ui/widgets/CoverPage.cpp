#include "ui/widgets/CoverPage.h"

#include "core/GameConfig.h"
#include "core/KitException.h"
#include "framework/widgets/BaseSheet.h"
#include "platform/FileNameCase.h"
#include "ui/Centring.h"

#include <QPainter>

namespace {

constexpr int kCoverTemplate = 129;

} // namespace

CCoverPage::CCoverPage(const CDibBitmap& wallpaper, const char* bitmapName)
    : CBasePage(kCoverTemplate, 0), m_wallpaper(wallpaper), m_bitmapName(bitmapName) {}

// The cover is the page shown first, so it is set up with the sheet's window.
bool CCoverPage::OnInitDialog() {
    return OnCreate() == 0;
}

int CCoverPage::OnCreate() {
    try {
        SetWallpaper(&m_wallpaper);
        const std::string path =
            PathIgnoringCase(CBaseSheet::GetGameDirectory(kAppletDataDirectory), m_bitmapName);
        m_coverPicture.LoadFromFile(path.c_str());
    } catch (const CKitException& e) {
        ReportError(e);
    }
    return 0;
}

QPoint CCoverPage::PicturePosition() const {
    const QRect client = rect();
    return {CentredOffset(client.width(), m_coverPicture.Width()),
            CentredOffset(client.height(), m_coverPicture.Height())};
}

void CCoverPage::paintEvent(QPaintEvent* event) {
    CBasePage::paintEvent(event);
    if (!m_coverPicture.IsValid()) {
        return;
    }
    QPainter painter(this);
    const QPoint position = PicturePosition();
    m_coverPicture.Draw(painter, position.x(), position.y());
}
