// Whether the session has a printer, for tests that print and those that check the answer
// without one.
#pragma once

// True when the system lists any local or connected printer.
bool PrinterInstalled();
