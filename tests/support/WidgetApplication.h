#pragma once

#include "tests/support/PrivateBus.h"

#include <QApplication>

// The QApplication that widgets need, one for a whole test program.
class CWidgetApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

// Widgets first: the private bus would make a plain core application otherwise.
inline bool RegisterWidgetsThenPrivateBus() {
    ::testing::AddGlobalTestEnvironment(new CWidgetApplication);
    ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
    return true;
}
