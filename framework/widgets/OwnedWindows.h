#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

// A sheet's own windows (its message boxes and help window) are made as its
// child widgets with windows of their own, so the desktop keeps them above it
// (Qt makes them transient for it). They also share its keep-on-top state,
// appear centred on it, and the modeless ones hide while it is minimised, come
// back with it and close when its window goes. A modal box is never hidden or
// changed while it runs: hiding would end it.

// Gives `window` the keep-on-top state of its owner, its parent widget's window.
void ShareOwnersKeepOnTop(QWidget& window);

// Moves `window` so that its centre is its owner's centre, kept within the
// owner's screen.
void CentreOnOwner(QWidget& window);

// Keeps the owned windows of `owner` with it as its state changes.
class COwnedWindows {
public:
    explicit COwnedWindows(QWidget& owner);

    // The owner's keep-on-top state has changed.
    void FollowKeepOnTop();
    // The owner has been minimised or restored.
    void FollowMinimised();
    // The owner's window is going: its windows go with it.
    void CloseAll();

private:
    std::vector<QWidget*> Windows() const;

    QWidget& m_owner;
    std::vector<QPointer<QWidget>> m_hiddenWithOwner;
};
