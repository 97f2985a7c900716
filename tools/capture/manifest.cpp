#include "manifest.h"

#include <cstdio>


namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string orNull(const std::string& text) { return text.empty() ? "null" : quoted(text); }

std::string field(const char* name, const std::string& json) { return std::string("\"") + name + "\": " + json; }

std::string encodingJson(const CaptureOptions& o) {
    const VideoEncoding& e = o.encoding;
    const uint64_t bitrate = bitrateUsed(e, o.width, o.height, o.fps);
    const std::string crf = crfUsed(e, bitrate) >= 0 ? std::to_string(crfUsed(e, bitrate)) : "null";
    const char* containers[] = {"mp4", "mov", "matroska"};
    return "{" + field("preset", orNull(e.preset)) + ", " + field("codec", quoted(e.codec)) + ", " +
           field("encoder", quoted(encoderName(e))) + ", " + field("crf", crf) + ", " +
           field("bitrate", bitrate > 0 ? std::to_string(bitrate) : "null") + ", " +
           field("pix_fmt", quoted(pixelFormat(e))) + ", " +
           field("b_frames", e.bFrames >= 0 ? std::to_string(e.bFrames) : "null") + ", " +
           field("container", quoted(containers[int(containerFor(o.videoFile))])) + ", " +
           field("audio_codec", quoted(e.audioCodec)) + ", " +
           field("audio_bitrate", e.audioCodec == "aac" ? std::to_string(e.audioBitrate) : "null") + ", " +
           field("audio_rate", e.audioRate > 0 ? std::to_string(e.audioRate) : "null") + ", " +
           field("edit_lists", e.noEditList ? "false" : "true") + "}";
}

std::string optionsJson(const CaptureOptions& o) {
    std::string at = "[";
    for (size_t i = 0; i < o.atMs.size(); ++i) at += (i > 0 ? ", " : "") + std::to_string(o.atMs[i]);
    at += "]";
    return "{" + field("size", quoted(std::to_string(o.width) + "x" + std::to_string(o.height))) + ", " +
           field("fps", std::to_string(o.fps)) + ", " + field("show_rate", std::to_string(o.showRate)) + ", " +
           field("start_ms", std::to_string(o.startMs)) + ", " + field("at_ms", at) + ", " +
           field("png", orNull(o.pngDir)) + ", " + field("video", orNull(o.videoFile)) + ", " +
           field("sheet", orNull(o.sheetFile)) + ", " + field("chapters", orNull(o.chaptersFile)) + ", " +
           field("manifest", quoted(o.manifestFile)) + ",\n    " +
           field("encoding", o.videoFile.empty() ? "null" : encodingJson(o)) + "}";
}

// Whole samples nearest to value / divisor seconds at `rate` Hz, via microseconds as the
// ffmpeg command line states the times.
uint64_t samplesAt(uint64_t value, uint64_t divisor, uint32_t rate) {
    const uint64_t micros = (value * 1000000 + divisor / 2) / divisor;
    return (micros * rate + 500000) / 1000000;
}

}  // namespace

ManifestAudio recordedAudio(uint32_t rate, uint32_t startMs, uint64_t frames, uint32_t fps) {
    return {rate, samplesAt(startMs, 1000, rate), samplesAt(frames, fps, rate)};
}

std::string manifestJson(const std::string& version, const CaptureOptions& options,
                         const std::vector<ManifestFrame>& frames, const ManifestAudio* audio) {
    std::string json = "{\n  " + field("program", quoted("demo-capture")) + ",\n  " +
                       field("version", quoted(version)) + ",\n  " +
                       field("options", optionsJson(options)) + ",\n  " +
                       field("show_rate", std::to_string(options.showRate)) + ",\n  " +
                       field("fps", std::to_string(options.fps)) + ",\n  " +
                       field("frame_hash", quoted("sha256 of RGB24, rows top to bottom")) + ",\n  ";
    json += field("audio", audio == nullptr ? "null"
                                            : "{" + field("sample_rate", std::to_string(audio->rate)) + ", " +
                                                  field("first_sample", std::to_string(audio->firstSample)) +
                                                  ", " + field("samples", std::to_string(audio->samples)) + "}");
    json += ",\n  \"frames\": [";
    for (size_t i = 0; i < frames.size(); ++i) {
        const ManifestFrame& f = frames[i];
        json += std::string(i > 0 ? "," : "") + "\n    {" + field("index", std::to_string(i)) + ", " +
                field("clock_ms", std::to_string(f.clockMs)) + ", " +
                field("show_frame", std::to_string(f.showFrame)) + ", " + field("sha256", quoted(f.sha256)) + "}";
    }
    return json + "\n  ]\n}\n";
}
