#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/show_rate.h"
#include "app/timeline.h"
#include "encoding.h"

// What one demo-capture run is asked to do, read from its command line.
struct CaptureOptions {
    int width = 1280;                // frame size in pixels
    int height = 720;
    uint32_t fps = 60;               // output frames (video, PNG sequence) per second of
                                     // show clock, 1..1000
    uint32_t showRate = DefaultShowRate;  // show frames per second of show clock, 1..1000;
                                          // 0: one show frame per output frame
    uint32_t startMs = 0;            // clock value of the first frame, ms, 0..90596
    std::vector<uint32_t> atMs;      // --at clock values, ms, ascending
    std::string pngDir;              // --png: directory for frame-NNNNN.png ("" = none)
    std::string videoFile;           // --video: MP4 file ("" = none)
    std::string sheetFile;           // --sheet: contact sheet PNG ("" = none)
    // Ranges, split recordings and supersampling.
    uint32_t endMs = ShowLengthMs + 1;  // --end: every recorded frame lies before this clock
                                        // value, ms, start+1..90597 (default: the show's end)
    uint32_t jobs = 1;               // --jobs: processes that record parts of the video, 1..16
    std::vector<std::string> joinParts;  // --join: recorded parts joined into --video, in order
    int supersample = 1;             // --supersample: drawn at N times width and height, 1..4
    bool drawOnly = false;           // --draw-only: draw a video's frames, read and write none
    // Publishing and archiving: how --video is encoded, and what is written beside it.
    VideoEncoding encoding;          // --preset, --codec, --encoder, --crf, --bitrate, --pix-fmt
    std::string manifestFile;        // --manifest: JSON list of the output frames ("" = none)
    std::string chaptersFile;        // --chapters: the scenes as a plain list ("" = none)
    bool help = false;
    bool version = false;
};

struct ParsedCaptureOptions {
    CaptureOptions options;
    std::string error;  // one line without the program name; empty when the options are good
};

// Reads and checks the arguments after the program name. Every check that needs no file
// system is here: sizes (even for --video), ranges, --at values past the last frame, and
// combinations that cannot work.
ParsedCaptureOptions parseCaptureOptions(const std::vector<std::string>& args);

// The --help text of the recorder started as `program`, whose installed data lives in
// `installedDataDir`.
std::string usageText(const std::string& program, const std::string& installedDataDir);
