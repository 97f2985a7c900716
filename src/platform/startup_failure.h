#pragma once
#include <string>

// How the show reports a failure at start-up: one "Error: <message>" line on standard
// output, then exit code 1, at once. Started from a desktop nobody sees that line, so a
// caller that asks for it (the player's --error-dialog, which its desktop entry passes)
// also gets the message in a dialog, and the process ends when the dialog is closed.
// Nothing else ever opens one: scripts, services and tests never wait for a person.
// - SOLTAREK_NO_DIALOG (any value but empty) leaves the dialog out even when asked for,
//   for a script that runs the desktop entry's command.
// - The dialog runs in a process of its own that ends with the player: killing the player
//   while the dialog waits ends the dialog too, and it holds none of the player's files.
// - Without a display the dialog fails at once and the process ends as without it.

// Lets failStartup show the dialog. Off by default.
void enableFailureDialog();

[[noreturn]] void failStartup(const std::string& message);
