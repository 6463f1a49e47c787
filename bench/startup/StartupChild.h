#pragma once

// The applet's side of the start-up benchmark, run as a process of its own:
// its main sheet against whatever game serves the session bus.
//
//   --window                 prints "shown NANOSECONDS" (steady clock) when the
//                            sheet first shows itself, then ends
//   --idle SECONDS           shows the sheet with the Agents tab open, then
//                            prints "cpu FRACTION" of one core used over SECONDS
//   --idle-baseline SECONDS  the same for an application with no window
//
// Returns the exit code, or -1 when argv names no child mode.
int RunStartupChild(int argc, char** argv);
