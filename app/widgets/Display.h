#pragma once

#include <QCoreApplication>

#include <memory>

// Whether Qt can open the display it would choose for a window. Qt ends the
// whole process when it cannot, so the attempt is made in a child process.
bool CanOpenDisplay(int& argc, char** argv);

// The application object of a start that shows a window: a QApplication whose
// messages are message boxes when a display can be opened, otherwise a
// QCoreApplication whose messages go to standard error.
std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char** argv);

// True when the application object can show windows.
bool HasDisplay();
