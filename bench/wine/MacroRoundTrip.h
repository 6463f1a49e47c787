#pragma once

#include "tests/support/TempDir.h"

// One macro's round trip to the Windows game under Wine, the same macro each
// time, in microseconds.
struct MacroRoundTrip {
    // The median of every call from this machine, sent as the applet sends
    // it, through the bridge.
    double bridgeUs;
    // The game's method called by a Windows program in the prefix, in rounds
    // of one program each, which prints the median of its calls: the median of
    // those.
    double rawComUs;
};

// Runs the Windows game, links a bridge to it as kivtool does and measures
// `calls` of each kind, in turns; everything it started has ended when it
// returns. Wine's output goes to files in `logs`. Throws std::runtime_error on
// failure.
MacroRoundTrip MeasureMacroRoundTrip(const TempDir& logs, int calls);
