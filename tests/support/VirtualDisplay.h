#pragma once

#include "tests/support/ChildProcess.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

// A virtual X display of its own, named in DISPLAY while it lives, for
// windows that must be real X windows. Without "-noreset" the server resets
// each time its last client leaves, and refuses whoever connects meanwhile:
// a program that opens the display just after another closed it (the
// applet's own display probe does exactly that) would find none.
class CVirtualDisplay {
public:
    CVirtualDisplay()
        : m_server({"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset"},
                   CChildProcess::Output::Captured) {
        const std::string number = m_server.ReadLine();
        if (number.empty()) {
            throw std::runtime_error("Xvfb did not start");
        }
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
        ::unsetenv("QT_QPA_PLATFORM");
    }

private:
    CChildProcess m_server;
};
