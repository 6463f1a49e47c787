#include "tests/support/PrivateBus.h"

// The game substitute serves its macro server on this program's private bus.
const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
