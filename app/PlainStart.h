#pragma once

// The start without automation switches: registers the automation object with
// the session bus, enters the applet into the game's tool list and ends. The
// process's exit code: 0 when the game's tool list holds the entry, 1 otherwise
// (the reason has been shown).
int RunPlainStart();

// The same for a game that runs under Wine (`--wine`): starts a Wine bridge,
// which registers itself as the applet's automation object in Wine, and writes
// the tool entry into Wine's registry through it. Needs the Qt application
// object. Exit code as above; 1 without anything written when no bridge comes
// up (the reason has been shown).
int RunWinePlainStart();
