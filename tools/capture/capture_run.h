#pragma once
#include <string>

#include "capture_options.h"
#include "output_files.h"

// Where the run's outputs go, once checked: temporary files exist (committed or closed by
// the run), ffmpeg was found.
struct CaptureTargets {
    std::string ffmpegProgram;  // full path; empty without --video
    std::string ffprobeProgram; // full path, for --jobs and --join; empty otherwise
    std::string musicPath;      // soundtrack for --video
    OutputTarget video;         // where --video and --sheet are written
    OutputTarget sheet;
    OutputTarget manifest;      // --manifest and --chapters, when asked for
    OutputTarget chapters;
    uint32_t audioRate = 0;     // Hz of the video's soundtrack, for the manifest
    std::string version;        // the program's, for the manifest
};

// The simulated run: creates the offscreen context, starts the show as demo does (without
// music and window), draws frames with the simulated clock and hands them to the outputs.
// Returns 0 on success, 2 when the driver cannot draw a frame this large (--supersample), 1
// after a failure (each reported on stderr as one line).
// Stops at the next frame, failing, once a stop was asked for (run_stop.h).
int runCapture(const CaptureOptions& options, CaptureTargets& targets);
