#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "capture_options.h"

// --manifest: a JSON record of what a run wrote, so that anyone can check a recording
// frame by frame (frame_hash.h says which bytes are hashed and the ffmpeg command that
// hashes them the same way).

struct ManifestFrame {
    uint32_t clockMs = 0;     // the output frame's clock value
    uint64_t showFrame = 0;   // index of the show frame it shows (0 = the first at clock 0)
    std::string sha256;       // frameSha256 of its pixels
};

// The soundtrack's part in the video: samples at `rate` of the decoded soundtrack.
struct ManifestAudio {
    uint32_t rate = 0;         // Hz
    uint64_t firstSample = 0;  // the sample at the first frame's clock value
    uint64_t samples = 0;      // as long as the video
};

// The soundtrack's samples for a video of `frames` frames at `fps` from `startMs`, cut as
// ffmpeg cuts them (both ends rounded to the nearest sample).
ManifestAudio recordedAudio(uint32_t rate, uint32_t startMs, uint64_t frames, uint32_t fps);

// The whole record: program and version, every option in force (the encoding after
// presets), show rate and fps, the frames by output index, the audio (none: no video).
std::string manifestJson(const std::string& version, const CaptureOptions& options,
                         const std::vector<ManifestFrame>& frames, const ManifestAudio* audio);
