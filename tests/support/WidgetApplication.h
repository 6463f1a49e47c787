#pragma once

#include "tests/support/PrivateBus.h"

#include <QApplication>

// The QApplication that widgets need, one for a whole test program.
class CWidgetApplication : public ::testing::Environment {
public:
    void SetUp() override { m_application = MakeTestApplication<QApplication>(); }
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
