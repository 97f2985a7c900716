#pragma once

// Termination requests (SIGINT, SIGTERM, and SIGHUP for a closed terminal). Installed first
// thing, so that SDL, which only takes over signals still at their default, leaves them
// alone. SIGPIPE is ignored: a closed standard output (the clock printed into a pipe whose
// reader has gone) is no reason to end the show; the write fails instead.
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
