#pragma once

// The Qt platform for the applet's window. A Wayland client can neither place
// its window nor keep it above the others, and the applet restores its place
// and stays on top on request; XWayland allows both. So in a Wayland session
// with XWayland (DISPLAY set) the window goes through XWayland ("xcb"), in one
// without it natively ("wayland"), and elsewhere Qt chooses. A platform the
// user has set in QT_QPA_PLATFORM is always kept: the result is then null.
// Null arguments are unset variables.
const char* ChooseQtPlatform(const char* userPlatform, const char* waylandDisplay,
                             const char* x11Display);

// Sets QT_QPA_PLATFORM to the choice for this process's environment, if any;
// before the application object is made.
void ApplyQtPlatformChoice();
