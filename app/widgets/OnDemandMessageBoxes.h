#pragma once

#include "core/MessageBox.h"

#include <QCoreApplication>

#include <memory>

// Messages of a start that shows no window (the plain start): no display is
// opened unless there is something to show. The first message opens one if it
// can and becomes a message box, as do the ones after it; without a display
// they go to standard error. Routes ShowMessage so while it lives.
class COnDemandMessageBoxes {
public:
    COnDemandMessageBoxes(int& argc, char** argv);
    ~COnDemandMessageBoxes();
    COnDemandMessageBoxes(const COnDemandMessageBoxes&) = delete;
    COnDemandMessageBoxes& operator=(const COnDemandMessageBoxes&) = delete;

    // Makes the application object now, for a start that needs Qt before it
    // has anything to say (to reach the bus); messages then go where it sends
    // them, as after a first message.
    void CreateApplicationNow();

private:
    static void ShowFirst(const char* text, MessageKind kind);

    int& m_argc;
    char** m_argv;
    std::unique_ptr<QCoreApplication> m_application;
};
