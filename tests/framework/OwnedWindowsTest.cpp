#include "framework/widgets/OwnedWindows.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// An owned window opens centred on its owner as far as the screen lets it: with the owner in a
// corner, the larger window ends exactly at the screen's edges. (The test program's one
// application comes with the list tests.)
TEST(OwnedWindows, ACentredWindowStopsAtTheScreensEdges) {
    QWidget owner;
    owner.resize(200, 100);
    owner.show();
    QWidget window(&owner, Qt::Window);
    window.resize(300, 150);
    const QRect work = owner.screen()->availableGeometry();
    // Until it is shown, the window's frame is taken to be its owner's.
    const QMargins frame = owner.windowHandle()->frameMargins();
    const QPoint framed(frame.left() + frame.right(), frame.top() + frame.bottom());
    const std::pair<QPoint, QPoint> corners[] = {
        {work.topLeft(), work.topLeft()},
        {work.bottomRight() - QPoint(199, 99), work.bottomRight() - QPoint(299, 149) - framed}};
    for (const auto& [ownerAt, windowAt] : corners) {
        owner.move(ownerAt);
        CentreOnOwner(window);
        EXPECT_EQ(window.pos(), windowAt);
    }
}

} // namespace
