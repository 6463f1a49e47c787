// The widgets need a QApplication before the private bus sets up its
// environment, so both are registered here, in this order.
#include "tests/support/PrivateBus.h"
#include "tests/support/WidgetApplication.h"

namespace {
const auto* const g_widgets = ::testing::AddGlobalTestEnvironment(new CWidgetApplication);
const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
} // namespace
