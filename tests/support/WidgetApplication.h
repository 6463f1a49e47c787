#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

// The QApplication that widgets need, one for a whole test executable. Register
// it at namespace scope in one file, before CPrivateBusEnvironment (which makes
// a QCoreApplication when none exists):
//
//     const auto* const g_widgets =
//         ::testing::AddGlobalTestEnvironment(new CWidgetApplication);
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
