#include "framework/widgets/BasePage.h"

#include "core/StringTable.h"
#include "framework/DialogTemplate.h"
#include "framework/DibBitmap.h"
#include "framework/Tiling.h"
#include "framework/widgets/DialogBuilder.h"

#include <QPainter>
#include <QVariant>

CBasePage::CBasePage(QWidget* parent) : QWidget(parent) {}

CBasePage::CBasePage(int templateId, unsigned captionId, QWidget* parent) : QWidget(parent) {
    const CDialogTemplate dialog = LoadDialogTemplate(templateId);
    m_controls = BuildDialogControls(dialog, *this);
    setFixedSize(DialogPixelSize(dialog));
    const char* caption = captionId != 0 ? LoadString(captionId) : nullptr;
    m_caption = QString::fromUtf8(caption != nullptr ? caption : dialog.caption.c_str());
}

int CBasePage::SetWallpaper(const CDibBitmap* wallpaper) {
    if (wallpaper == nullptr) {
        m_hWallpaper = nullptr;
        m_tileWidth = 0;
        m_tileHeight = 0;
        update();
        return 0;
    }
    if (!wallpaper->IsValid()) {
        return 0;
    }
    m_hWallpaper = wallpaper;
    m_tileWidth = wallpaper->Width();
    m_tileHeight = wallpaper->Height();
    update();
    return 1;
}

QString CBasePage::Caption() const {
    return m_caption;
}

QWidget* CBasePage::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

bool CBasePage::HasWindow() const {
    return m_initialised;
}

bool CBasePage::Activate() {
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    return OnSetActive();
}

QSize CBasePage::sizeHint() const {
    return minimumSize();
}

bool CBasePage::OnInitDialog() {
    return true;
}

bool CBasePage::OnSetActive() {
    return true;
}

bool CBasePage::OnKillActive() {
    return true;
}

bool CBasePage::OnEraseBkgnd(QPainter& painter) {
    if (m_hWallpaper == nullptr) {
        return false;
    }
    for (const TileOrigin& tile : TileOrigins(m_tileWidth, m_tileHeight, width(), height())) {
        m_hWallpaper->Draw(painter, tile.x, tile.y, 0, 0, m_tileWidth, m_tileHeight);
    }
    return true;
}

void CBasePage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    OnEraseBkgnd(painter);
}

bool CBasePage::ReplaceControl(int id, QWidget* replacement) {
    QWidget* original = Control(id);
    if (original == nullptr) {
        return false;
    }
    replacement->setGeometry(original->geometry());
    replacement->setFocusPolicy(original->focusPolicy());
    replacement->setVisible(original->isVisibleTo(this));
    const QVariant text = original->property("text");
    if (text.isValid()) {
        replacement->setProperty("text", text);
    }
    replacement->stackUnder(original);
    delete original;
    m_controls[id] = replacement;
    return true;
}
