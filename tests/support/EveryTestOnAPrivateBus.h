#pragma once

#include "tests/support/PrivateBus.h"

// A test program whose files include this gets its one private bus, however many do.
inline const auto* const g_privateBus =
    ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
