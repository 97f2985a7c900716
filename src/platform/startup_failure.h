#pragma once
#include <string>

// How the show reports a failure at start-up: one "Error: <message>" line on standard
// output, then exit code 1. Started from a desktop, nobody sees that line, so when
// standard output is not a terminal the message also appears in a dialog, which waits until
// it is closed. Setting SOLTAREK_NO_DIALOG (any value but empty) leaves the dialog out, for
// runs that nobody watches. Without a display the dialog fails at once and is skipped.

// Lets failStartup show the dialog. Off by default: the tools report on their terminal.
void enableFailureDialog();

[[noreturn]] void failStartup(const std::string& message);
