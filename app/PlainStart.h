#pragma once

// The start without automation switches: registers the automation object with
// the session bus, enters the applet into the game's tool list and ends. The
// process's exit code: 0 when the game's tool list holds the entry, 1 otherwise
// (the reason has been shown).
int RunPlainStart();
