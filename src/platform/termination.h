#pragma once

// Termination requests (SIGINT, SIGTERM). Installed first thing, so that SDL, which only
// takes over signals still at their default, leaves them alone.
// - Before the show's loop runs, a request ends the process at once, by that signal, at
//   whatever step start-up waits on.
// - While the loop runs, it asks the loop to end the show like Escape (exit code 0). When
//   the loop has not ended 3 s later (a frame that does not finish), or a second request
//   comes, the process ends at once by the signal.
void installTerminationHandlers();

// From now on requests go to the loop.
void deferTerminationToLoop();

// True once a request has come while the loop runs.
bool terminationRequested();
