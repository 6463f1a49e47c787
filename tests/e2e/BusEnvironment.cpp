#include "tests/support/PrivateBus.h"

// Every test of this program talks over one private session bus.
const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
