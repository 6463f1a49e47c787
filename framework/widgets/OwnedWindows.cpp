#include "framework/widgets/OwnedWindows.h"

#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

QWidget* Owner(const QWidget& window) {
    return window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
}

bool IsOnTop(const QWidget& window) {
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// A window's flags change only while it is hidden; a shown one is shown again
// where it was.
void SetOnTop(QWidget& window, bool onTop) {
    if (IsOnTop(window) == onTop) {
        return;
    }
    const bool shown = window.isVisible();
    const QPoint place = window.pos();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) {
        window.move(place);
        window.show();
    }
}

// The frame the desktop draws around a window; until a window has been shown it
// is not known, and the owner's frame is the best guess.
QMargins Frame(const QWidget& window, const QWidget& owner) {
    const QWindow* handle = window.windowHandle();
    const QMargins frame = handle != nullptr ? handle->frameMargins() : QMargins();
    const QWindow* ownerHandle = owner.windowHandle();
    return !frame.isNull() || ownerHandle == nullptr ? frame : ownerHandle->frameMargins();
}

} // namespace

void ShareOwnersKeepOnTop(QWidget& window) {
    if (const QWidget* owner = Owner(window)) {
        SetOnTop(window, IsOnTop(*owner));
    }
}

void CentreOnOwner(QWidget& window) {
    const QWidget* owner = Owner(window);
    if (owner == nullptr || !owner->isVisible()) {
        return;
    }
    QRect place(QPoint(), window.size().grownBy(Frame(window, *owner)));
    place.moveCenter(owner->frameGeometry().center());
    if (const QScreen* screen = owner->screen()) {
        const QRect work = screen->availableGeometry();
        place.moveLeft(
            std::max(work.left(), std::min(place.left(), work.right() - place.width() + 1)));
        place.moveTop(
            std::max(work.top(), std::min(place.top(), work.bottom() - place.height() + 1)));
    }
    window.move(place.topLeft());
}

COwnedWindows::COwnedWindows(QWidget& owner) : m_owner(owner) {}

void COwnedWindows::FollowKeepOnTop() {
    for (QWidget* window : Windows()) {
        ShareOwnersKeepOnTop(*window);
    }
}

void COwnedWindows::FollowMinimised() {
    if (m_owner.isMinimized()) {
        for (QWidget* window : Windows()) {
            if (window->isVisible()) {
                m_hiddenWithOwner.emplace_back(window);
                window->hide();
            }
        }
        return;
    }
    for (const QPointer<QWidget>& window : m_hiddenWithOwner) {
        if (window) {
            window->show();
        }
    }
    m_hiddenWithOwner.clear();
}

void COwnedWindows::CloseAll() {
    m_hiddenWithOwner.clear();
    for (QWidget* window : Windows()) {
        window->close();
    }
}

std::vector<QWidget*> COwnedWindows::Windows() const {
    std::vector<QWidget*> windows;
    for (QWidget* child : m_owner.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const Qt::WindowType type = child->windowType();
        if ((type == Qt::Window || type == Qt::Dialog) && !child->isModal()) {
            windows.push_back(child);
        }
    }
    return windows;
}
