#pragma once
#include <sys/types.h>

#include <atomic>
#include <cstddef>

// Stopping a recording from outside: SIGINT, SIGTERM and SIGHUP (a closed terminal).
// - The first asks the run to stop at the next frame and breaks a write the main thread is
//   blocked in; the run then fails with "interrupted" and removes its temporaries.
// - When the run has not ended StopGraceSeconds later (the main thread stuck in the GL
//   driver, say), or another of these signals comes, the process ends at once: one line on
//   standard error, the temporaries removed, the encoder killed, exit code 1.
// SIGPIPE is ignored: a dead ffmpeg or a closed output shows as a failed write instead.
constexpr unsigned StopGraceSeconds = 5;

// Installs the handlers; the calling thread is the one whose blocked writes are broken.
void installStopHandlers();

// True once a stop was asked for.
const std::atomic<bool>& stopRequested();

// The encoder process ended with a run that is ended at once; 0 for none.
void setEncoderProcess(pid_t pid);

// The processes recording the parts of a split recording (slot 0..MaxPartProcesses-1; 0
// frees a slot): asked to stop (SIGTERM) when this run is, killed with a run ended at once.
constexpr size_t MaxPartProcesses = 16;
void setPartProcess(size_t slot, pid_t pid);
