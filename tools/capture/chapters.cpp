#include "chapters.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/timeline.h"

std::vector<Chapter> recordedChapters(uint32_t startMs, uint32_t lengthMs) {
    const uint64_t end = uint64_t(startMs) + lengthMs;  // clock value past the last frame
    std::vector<Chapter> chapters;
    for (int32_t s = 0; s < SceneCount; ++s) {
        const uint64_t from = std::max<uint64_t>(sceneStartMs(s), startMs);
        const uint64_t to = std::min<uint64_t>(uint64_t(sceneEndMs(s)) + 1, end);
        if (from >= to) continue;
        std::string title = SceneNames[size_t(s)];
        title[0] = char(std::toupper(static_cast<unsigned char>(title[0])));
        chapters.push_back({uint32_t(from - startMs), uint32_t(to - startMs), title});
    }
    return chapters;
}

std::string chapterList(const std::vector<Chapter>& chapters) {
    std::string text;
    for (const Chapter& c : chapters) {
        char start[32];
        std::snprintf(start, sizeof start, "%u:%02u ", unsigned(c.startMs / 60000), unsigned(c.startMs / 1000 % 60));
        text += start + c.title + "\n";
    }
    return text;
}

std::string chapterMetadata(const std::vector<Chapter>& chapters) {
    std::string text = ";FFMETADATA1\n";
    for (const Chapter& c : chapters)
        text += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(c.startMs) + "\nEND=" +
                std::to_string(c.endMs) + "\ntitle=" + c.title + "\n";
    return text;
}
