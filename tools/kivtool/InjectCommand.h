#pragma once

// kivtool inject / remove: the applet's own injection and removal against the
// running game, or their plan with --dry-run.
int RunInjectCommand(int argc, char** argv);
int RunRemoveCommand(int argc, char** argv);
