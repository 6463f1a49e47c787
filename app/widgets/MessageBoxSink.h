#pragma once

class QWidget;

// Routes ShowMessage to modal Qt message boxes with one OK button, titled with
// the application's title; needs a QApplication.
void InstallMessageBoxSink();

// The main window, to which every message box belongs while it is shown: the
// box stays above it, shares its keep-on-top state and appears centred on it.
// Without one, or while it is hidden, a box stands alone.
void SetMessageBoxOwner(QWidget* owner);
