#include "tests/support/WidgetApplication.h"

namespace {
const bool g_environments = RegisterWidgetsThenPrivateBus();
} // namespace
