#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The scenes of a recording as chapters, named as the contact sheet names them.

struct Chapter {
    uint32_t startMs = 0;  // from the recording's first frame (0) on
    uint32_t endMs = 0;    // exclusive
    std::string title;     // "Opening cube"
};

// The scenes that a recording of `lengthMs` from clock value `startMs` shows, each clipped
// to it, in order. Scene s covers the clock values sceneStartMs(s) to sceneEndMs(s).
std::vector<Chapter> recordedChapters(uint32_t startMs, uint32_t lengthMs);

// The plain list that video pages read from a description: "0:00 Opening cube", one line
// each, the start in whole seconds (minutes:seconds).
std::string chapterList(const std::vector<Chapter>& chapters);

// The same in ffmpeg's FFMETADATA form, for the container's own chapters.
std::string chapterMetadata(const std::vector<Chapter>& chapters);
