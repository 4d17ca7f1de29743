#pragma once
#include "link/connection.h"

// The phone tools that the functions menus of both views offer on the open panel's connection.
// Each shows its own dialogs and boxes through the host.

// The raw AT terminal: the user types commands and sees every line the phone sends back, until
// the dialog is cancelled. Nothing the phone or the link does ends it; a link failure only ends
// the reading of that command's answer.
void RunTerminal(CConnection& connection);

// Copies the computer's local time and time zone into the phone's clock (the time alone when
// the phone refuses the zone). A refusal is shown; a link failure propagates as io_error.
void SetPhoneClock(CConnection& connection);

// Asks for a report file and what to probe, then writes the phone's answers to a fixed series
// of probing commands into that file. The user's logging settings are restored before it
// returns, also when a link failure propagates as io_error.
void CapabilityLog(CConnection& connection);
