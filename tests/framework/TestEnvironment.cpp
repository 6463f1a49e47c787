// The widgets need a QApplication before the private bus sets up its
// environment, so both are registered here, in this order.
#include "tests/support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {
class CWidgetApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_framework";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

const auto* const g_widgets = ::testing::AddGlobalTestEnvironment(new CWidgetApplication);
const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
} // namespace
