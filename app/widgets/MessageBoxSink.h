#pragma once

// Routes ShowMessage to modal Qt message boxes with one OK button, titled with
// the application's title; needs a QApplication.
void InstallMessageBoxSink();
