#pragma once

#include "tests/support/PrivateBus.h"

// Included by the files of a test program that talk over the session bus: the
// program gets its one private bus, however many of its files include this.
inline const auto* const g_privateBus =
    ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);
