#include "sync_recording.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace bench {

std::optional<int64_t> secondsToUs(const std::string& text) {
    int64_t whole = 0, fraction = 0;
    int wholeDigits = 0, fractionDigits = 0;
    size_t i = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++wholeDigits)
        whole = whole * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            if (fractionDigits < 6) {
                fraction = fraction * 10 + (text[i] - '0');
                ++fractionDigits;
            }
        }
    }
    if (i != text.size() || wholeDigits == 0 || wholeDigits > 12) return std::nullopt;
    for (; fractionDigits < 6; ++fractionDigits) fraction *= 10;
    return whole * 1000000 + fraction;
}

namespace {

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

std::string readRecording(const std::string& directory, Recording& recording) {
    std::ifstream times(directory + "/video.times");
    std::vector<int64_t> timesUs;
    for (std::string line; std::getline(times, line);) {
        const std::optional<int64_t> us = secondsToUs(line);
        if (!us) return "video.times: not a time stamp: \"" + line + "\"";
        timesUs.push_back(*us);
    }
    std::vector<uint8_t> pixels;
    if (timesUs.empty() || !readBytes(directory + "/video.gray", pixels) ||
        pixels.size() % timesUs.size() != 0)
        return "video.times and video.gray missing or of different frame counts in " + directory;
    recording.frames = grabFrames(timesUs, pixels, pixels.size() / timesUs.size());

    std::ifstream packets(directory + "/audio.packets");
    recording.packets.clear();
    for (std::string line; std::getline(packets, line);) {
        const size_t comma = line.find(',');
        const std::optional<int64_t> us = secondsToUs(line.substr(0, comma));
        if (comma == std::string::npos || !us) return "audio.packets: malformed line \"" + line + "\"";
        recording.packets.push_back({*us, std::atoll(line.c_str() + comma + 1) / 4});
    }
    std::vector<uint8_t> bytes;
    if (recording.packets.empty() || !readBytes(directory + "/audio.s16", bytes))
        return "audio.packets or audio.s16 missing in " + directory;
    recording.sound.resize(bytes.size() / 2);
    for (size_t i = 0; i < recording.sound.size(); ++i)
        recording.sound[i] = int16_t(uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    return "";
}

}  // namespace bench
