#include "encoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "app/option_values.h"

namespace {

struct CodecInfo {
    const char* name;         // --codec
    const char* encoder;      // the ffmpeg encoder used for it
    int defaultCrf;           // -1: no rate control (lossless)
    int maxCrf;
    std::vector<std::string> pixFmts;  // what its encoder takes, the default first
    int minSide;              // pixels; the encoder refuses smaller frames
};

const std::array<CodecInfo, 4>& codecs() {
    static const std::array<CodecInfo, 4> table = {{
        {"h264", "libx264", 18, 51,
         {"yuv420p", "yuv422p", "yuv444p", "yuv420p10le", "yuv422p10le", "yuv444p10le"}, 1},
        {"hevc", "libx265", 20, 51,
         {"yuv420p", "yuv422p", "yuv444p", "yuv420p10le", "yuv422p10le", "yuv444p10le"}, 1},
        {"av1", "libsvtav1", 30, 63, {"yuv420p", "yuv420p10le"}, 64},
        // bgr0 is the drawn RGB unchanged (one padding byte a pixel); gbrp the same planar.
        {"ffv1", "ffv1", -1, -1, {"bgr0", "gbrp", "yuv420p", "yuv422p", "yuv444p"}, 1},
    }};
    return table;
}

const CodecInfo* findCodec(const std::string& name) {
    for (const CodecInfo& c : codecs())
        if (name == c.name) return &c;
    return nullptr;
}

// "12M", "7.5M", "8000k" or plain bit/s.
bool parseBitrate(const std::string& text, uint64_t& bits) {
    if (text.empty()) return false;
    double scale = 1;
    std::string number = text;
    const char unit = text.back();
    if (unit == 'k' || unit == 'K') scale = 1e3;
    if (unit == 'M' || unit == 'm') scale = 1e6;
    if (scale != 1) number.pop_back();
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(number.begin(), number.end(), '.') > 1 || number.front() == '.' || number.back() == '.')
        return false;
    const double value = std::strtod(number.c_str(), nullptr) * scale;
    constexpr double Lowest = 10e3, Highest = 2e9;  // bit/s
    if (value < Lowest || value > Highest) return false;
    bits = uint64_t(std::llround(value));
    return true;
}

std::string kbits(uint64_t bits) { return std::to_string((bits + 500) / 1000) + "k"; }

bool ownEncoder(const VideoEncoding& e, const CodecInfo& codec) { return encoderName(e) == codec.encoder; }

}  // namespace

bool applyPreset(const std::string& name, VideoEncoding& e) {
    VideoEncoding preset;
    preset.preset = name;
    if (name == "upload") {
        // The largest video site's published upload settings.
        preset.recommendedBitrate = true;
        preset.pixFmt = "yuv420p";
        preset.highProfile = true;
        preset.bFrames = 2;
        preset.audioBitrate = 384000;
        preset.audioRate = 48000;
        preset.stereo = true;
        preset.noEditList = true;
    } else if (name == "master") {
        preset.codec = "ffv1";
        preset.audioCodec = "flac";
    } else {
        return false;
    }
    e = preset;
    return true;
}

bool readEncodingOption(const std::string& name, const std::string& value, VideoEncoding& e,
                        std::string& error) {
    uint64_t number = 0;
    const char* expected = nullptr;
    if (name == "--preset") {
        if (!applyPreset(value, e)) expected = "upload or master";
    } else if (name == "--codec") {
        if (findCodec(value) == nullptr) expected = "h264, hevc, av1 or ffv1";
        else e.codec = value;
    } else if (name == "--encoder") {
        e.encoder = value;
    } else if (name == "--crf") {
        if (!parseWholeNumber(value, 0, 63, number)) {
            expected = "a whole number from 0 to 63 (51 for h264 and hevc)";
        } else {
            e.crf = int(number);
            e.bitrate = 0;
            e.recommendedBitrate = false;
        }
    } else if (name == "--bitrate") {
        if (!parseBitrate(value, number)) {
            expected = "bit/s from 10k to 2000M, as 12M, 7.5M or 8000k";
        } else {
            e.bitrate = number;
            e.recommendedBitrate = false;
            e.crf = -1;
        }
    } else {  // --pix-fmt
        e.pixFmt = value;
    }
    if (expected == nullptr) return true;
    error = "bad value '" + value + "' for " + name + ": expected " + expected;
    return false;
}

Container containerFor(const std::string& path) {
    const size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos || path.find('/', dot) != std::string::npos ? "" : path.substr(dot);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".mkv") return Container::Matroska;
    if (ext == ".mov") return Container::QuickTime;
    return Container::Mp4;
}

std::string encoderName(const VideoEncoding& e) {
    if (!e.encoder.empty()) return e.encoder;
    return findCodec(e.codec)->encoder;
}

std::string pixelFormat(const VideoEncoding& e) {
    if (!e.pixFmt.empty()) return e.pixFmt;
    return findCodec(e.codec)->pixFmts.front();
}

uint64_t bitrateUsed(const VideoEncoding& e, int width, int height, uint32_t fps) {
    return e.recommendedBitrate ? uploadBitrate(width, height, fps) : e.bitrate;
}

int crfUsed(const VideoEncoding& e, uint64_t bitrate) {
    if (bitrate > 0) return -1;
    if (e.crf >= 0) return e.crf;
    const CodecInfo& codec = *findCodec(e.codec);
    return ownEncoder(e, codec) ? codec.defaultCrf : -1;
}

uint64_t uploadBitrate(int width, int height, uint32_t fps) {
    struct Row {
        int width, height;
        uint64_t at30, at60;  // bit/s
    };
    constexpr Row Rows[] = {{1280, 720, 5000000, 7500000},
                            {1920, 1080, 8000000, 12000000},
                            {2560, 1440, 16000000, 24000000},
                            {3840, 2160, 35000000, 53000000}};
    const Row* row = &Rows[std::size(Rows) - 1];
    for (const Row& r : Rows)
        if (width <= r.width && height <= r.height) {
            row = &r;
            break;
        }
    return fps <= 30 ? row->at30 : row->at60;
}

std::string checkEncoding(const VideoEncoding& e, Container container, int width, int height) {
    const CodecInfo& codec = *findCodec(e.codec);
    const std::string pixFmt = pixelFormat(e);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (codec.defaultCrf < 0 && (e.crf >= 0 || e.bitrate > 0))
        return std::string(codec.name) + " is lossless: it takes no --crf or --bitrate";
    if (e.crf > codec.maxCrf)
        return "--crf " + std::to_string(e.crf) + " is past " + codec.name + "'s range (0 to " +
               std::to_string(codec.maxCrf) + ")";
    if (ownEncoder(e, codec)) {
        const auto& fmts = codec.pixFmts;
        if (std::find(fmts.begin(), fmts.end(), pixFmt) == fmts.end()) {
            std::string list;
            for (const std::string& f : fmts) list += (list.empty() ? "" : ", ") + f;
            return "--pix-fmt " + pixFmt + " does not suit " + codec.name + " (" + codec.encoder +
                   " takes " + list + ")";
        }
        if (width < codec.minSide || height < codec.minSide)
            return std::string(codec.encoder) + " needs at least " + std::to_string(codec.minSide) + "x" +
                   std::to_string(codec.minSide) + " pixels, got " + size;
    }
    // Subsampled chroma: one colour sample for 2x2 pixels (4:2:0) or 2x1 (4:2:2).
    const bool halfWidth = pixFmt.starts_with("yuv420") || pixFmt.starts_with("yuv422") || pixFmt == "nv12" ||
                           pixFmt == "p010le";
    const bool halfHeight = pixFmt.starts_with("yuv420") || pixFmt == "nv12" || pixFmt == "p010le";
    if ((halfWidth && width % 2 != 0) || (halfHeight && height % 2 != 0))
        return std::string("--video in ") + pixFmt + " needs an even " +
               (halfHeight ? "width and height" : "width") + ", got " + size;
    if (container != Container::Matroska) {
        const char* name = container == Container::Mp4 ? "MP4" : "QuickTime (.mov)";
        if (container == Container::Mp4 && e.codec == "ffv1")
            return "FFV1 does not go into MP4: name the --video file .mkv (or .mov)";
        if (container == Container::QuickTime && e.codec == "av1")
            return "AV1 does not go into QuickTime: name the --video file .mp4 or .mkv";
        if (e.audioCodec == "flac")
            return std::string("FLAC audio (--preset master) does not go into ") + name +
                   ": name the --video file .mkv";
    }
    return "";
}

std::vector<std::string> videoCodecArguments(const VideoEncoding& e, int width, int height, uint32_t fps) {
    const uint32_t gop = fps / 2 > 0 ? fps / 2 : 1;
    const CodecInfo& codec = *findCodec(e.codec);
    const std::string encoder = encoderName(e);
    const bool own = ownEncoder(e, codec);
    const std::string pixFmt = pixelFormat(e);
    std::vector<std::string> args = {"-c:v", encoder};
    if (own && (codec.name == std::string("h264") || codec.name == std::string("hevc")))
        args.insert(args.end(), {"-preset", "medium"});
    const uint64_t bitrate = bitrateUsed(e, width, height, fps);
    if (bitrate > 0) args.insert(args.end(), {"-b:v", kbits(bitrate)});
    if (crfUsed(e, bitrate) >= 0) args.insert(args.end(), {"-crf", std::to_string(crfUsed(e, bitrate))});
    if (!encodesOnGpu(e)) args.insert(args.end(), {"-pix_fmt", pixFmt});
    if (e.highProfile && e.codec == "h264" && pixFmt == "yuv420p") args.insert(args.end(), {"-profile:v", "high"});
    if (e.bFrames >= 0) args.insert(args.end(), {"-bf", std::to_string(e.bFrames)});
    if (e.codec == "ffv1") {
        // Every frame a key frame; version 3 with a checksum in every slice, for archives.
        args.insert(args.end(), {"-g", "1", "-level", "3", "-slicecrc", "1"});
        return args;
    }
    const std::string g = std::to_string(gop);
    args.insert(args.end(), {"-g", g, "-keyint_min", g, "-sc_threshold", "0", "-flags", "+cgop"});
    const std::string keys = "keyint=" + g + ":min-keyint=" + g + ":scenecut=0";
    if (own && e.codec == "h264") args.insert(args.end(), {"-x264-params", keys + (e.highProfile ? ":cabac=1" : "")});
    if (own && e.codec == "hevc") args.insert(args.end(), {"-x265-params", keys + ":open-gop=0:log-level=error"});
    return args;
}

bool encodesOnGpu(const VideoEncoding& e) { return encoderName(e).ends_with("_vaapi"); }

std::vector<std::string> gpuArguments(const VideoEncoding& e) {
    if (!encodesOnGpu(e)) return {};
    return {"-vaapi_device", "/dev/dri/renderD128"};
}

std::string gpuFilter(const VideoEncoding& e) {
    if (!encodesOnGpu(e)) return "";
    return std::string(",format=") + (pixelFormat(e).find("10") != std::string::npos ? "p010le" : "nv12") + ",hwupload";
}

std::vector<std::string> audioCodecArguments(const VideoEncoding& e) {
    std::vector<std::string> args = {"-c:a", e.audioCodec};
    if (e.audioCodec == "aac") args.insert(args.end(), {"-b:a", kbits(e.audioBitrate)});
    if (e.audioRate > 0) args.insert(args.end(), {"-ar", std::to_string(e.audioRate)});
    if (e.stereo) args.insert(args.end(), {"-ac", "2"});
    return args;
}

uint32_t audioPrimingSamples(const VideoEncoding& e) {
    constexpr uint32_t AacPriming = 1024;  // samples: ffmpeg's AAC encoder's initial padding
    return e.noEditList && e.audioCodec == "aac" ? AacPriming : 0;
}
