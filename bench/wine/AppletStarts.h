#pragma once

#include <vector>

// Milliseconds from a game's CreateObject to the applet's window shown, one a
// start: the Windows game under Wine, whose request starts the bridge through
// Wine's COM and the applet through the bus, and the game of this machine,
// whose request starts the applet through the bus alone.
struct AppletStarts {
    std::vector<double> windowsGameMs;
    std::vector<double> linuxGameMs;
};

// `count` starts with each game, taken in turns; each quits its game and waits
// until the game, the applet and the bridge have ended before the next
// begins. Throws std::runtime_error on failure.
AppletStarts MeasureAppletStarts(int count);
