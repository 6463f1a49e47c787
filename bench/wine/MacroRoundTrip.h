#pragma once

#include "tests/support/TempDir.h"

// Medians, in microseconds, of one macro's round trip to the Windows game
// under Wine, the same macro each time.
struct MacroRoundTrip {
    double bridgeUs; // from this machine as the applet sends it, through the bridge
    double rawComUs; // the game's method called by a Windows program in the prefix
};

// Runs the Windows game, links a bridge to it as kivtool does and measures
// `calls` of each; everything it started has ended when it returns. Wine's
// output goes to files in `logs`. Throws std::runtime_error on failure.
MacroRoundTrip MeasureMacroRoundTrip(const TempDir& logs, int calls);
