#pragma once
#include <cstdint>
#include <string>
#include <vector>

// How --video is encoded: the codec and its encoder, rate control, pixel format, GOP, the
// soundtrack's codec and the container (from the file name). A preset sets all of them at
// once; the options after it change single ones. Without a preset every field keeps the
// recorder's long-standing output: H.264 (libx264, CRF 18, yuv420p), AAC 192 kbit/s, MP4.

enum class Container { Mp4, QuickTime, Matroska };

struct VideoEncoding {
    std::string preset;            // the last --preset given: "", "upload" or "master"
    std::string codec = "h264";    // h264, hevc, av1 or ffv1
    std::string encoder;           // ffmpeg encoder; "" = the codec's own (encoderName)
    int crf = -1;                  // constant quality, 0..51 (AV1: 0..63); -1 the codec's own
    uint64_t bitrate = 0;          // variable bitrate, bit/s; 0: constant quality (crf)
    bool recommendedBitrate = false;  // bitrate from uploadBitrate() for the size and fps
    std::string pixFmt;            // ffmpeg pixel format; "" = the codec's own (pixelFormat)
    bool highProfile = false;      // H.264 High profile (with 8-bit 4:2:0)
    int bFrames = -1;              // consecutive B-frames at most; -1 the encoder's own
    std::string audioCodec = "aac";  // aac or flac
    uint32_t audioBitrate = 192000;  // AAC, bit/s
    uint32_t audioRate = 0;        // Hz; 0 the soundtrack's own rate
    bool stereo = false;           // force two channels
    bool noEditList = false;       // MP4/MOV without edit lists (timestamps start at 0)
};

// Sets every field to the named preset's values; false for an unknown name.
bool applyPreset(const std::string& name, VideoEncoding& encoding);

// Reads the value of one encoding option ("--preset", "--codec", "--encoder", "--crf",
// "--bitrate", "--pix-fmt") into `encoding`. False with a one-line `error` for a bad
// value. --crf and --bitrate replace each other (the last one given counts).
bool readEncodingOption(const std::string& name, const std::string& value, VideoEncoding& encoding,
                        std::string& error);

// The container a file name asks for: .mkv Matroska, .mov QuickTime, anything else MP4.
Container containerFor(const std::string& path);

// The ffmpeg encoder used: --encoder, else the codec's own (libx264, libx265, libsvtav1, ffv1).
std::string encoderName(const VideoEncoding& encoding);
// The pixel format used: --pix-fmt, else the codec's own (yuv420p; FFV1: bgr0, RGB as drawn).
std::string pixelFormat(const VideoEncoding& encoding);

// The variable bitrate used, bit/s (0: none), and the constant quality used with it (-1:
// none: a bitrate, a lossless codec, or another encoder without --crf).
uint64_t bitrateUsed(const VideoEncoding& encoding, int width, int height, uint32_t fps);
int crfUsed(const VideoEncoding& encoding, uint64_t bitrate);

// Recommended upload bitrate, bit/s: the row of the published table (720p, 1080p, 1440p,
// 2160p, each at 30 and 60 fps) for the smallest frame that holds width x height (larger
// frames take the 2160p row) at 30 fps up to 30 fps, else at 60.
uint64_t uploadBitrate(int width, int height, uint32_t fps);

// Why this encoding cannot write a width x height recording into `container`; empty when
// it can. Knows the codecs, pixel formats and containers above; an --encoder of another
// kind is left for ffmpeg to judge.
std::string checkEncoding(const VideoEncoding& encoding, Container container, int width, int height);

// A VAAPI encoder (h264_vaapi, hevc_vaapi, ...) takes frames in the GPU's memory: ffmpeg
// opens the render node and uploads them (gpuArguments before the inputs, gpuFilter
// after the frames' own filters), in NV12, or P010 for a 10-bit --pix-fmt.
bool encodesOnGpu(const VideoEncoding& encoding);
std::vector<std::string> gpuArguments(const VideoEncoding& encoding);
std::string gpuFilter(const VideoEncoding& encoding);

// ffmpeg's output options for the video stream (after -map), with a key frame every half
// second (fps / 2 frames) in closed GOPs; FFV1 makes every frame a key frame.
std::vector<std::string> videoCodecArguments(const VideoEncoding& encoding, int width, int height,
                                             uint32_t fps);
// ffmpeg's output options for the audio stream.
std::vector<std::string> audioCodecArguments(const VideoEncoding& encoding);
// Samples the audio encoder puts before the first one (AAC priming), which a file without
// edit lists plays: the soundtrack is started this much later so that it stays in sync.
uint32_t audioPrimingSamples(const VideoEncoding& encoding);
