#include <gtest/gtest.h>

#include <algorithm>

#include "capture_options.h"
#include "chapters.h"
#include "encoding.h"
#include "manifest.h"

namespace {

CaptureOptions parsed(const std::vector<std::string>& args) {
    const ParsedCaptureOptions result = parseCaptureOptions(args);
    EXPECT_EQ(result.error, "");
    return result.options;
}

bool has(const std::vector<std::string>& args, const std::string& option, const std::string& value) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == option && args[i + 1] == value) return true;
    return false;
}

}  // namespace

// A preset sets everything; what follows it changes single fields, what precedes it is
// replaced; --crf and --bitrate replace each other.
TEST(CaptureEncoding, PresetsAndTheOptionsAfterThem) {
    const VideoEncoding upload = parsed({"--preset", "upload", "--video", "v.mp4", "--size", "1920x1080"}).encoding;
    const std::vector<std::string> video = videoCodecArguments(upload, 1920, 1080, 60);
    EXPECT_TRUE(has(video, "-b:v", "12000k"));
    EXPECT_TRUE(has(video, "-profile:v", "high"));
    EXPECT_TRUE(has(video, "-bf", "2"));
    EXPECT_TRUE(has(video, "-g", "30"));
    EXPECT_EQ(std::count(video.begin(), video.end(), "-crf"), 0);
    EXPECT_TRUE(has(audioCodecArguments(upload), "-ar", "48000"));
    EXPECT_EQ(audioPrimingSamples(upload), 1024u);

    const VideoEncoding quality = parsed({"--preset", "upload", "--crf", "20", "--video", "v.mp4"}).encoding;
    EXPECT_EQ(bitrateUsed(quality, 1280, 720, 60), 0u);
    EXPECT_TRUE(has(videoCodecArguments(quality, 1280, 720, 60), "-crf", "20"));
    EXPECT_TRUE(quality.highProfile);
    // Before the preset: replaced by it.
    EXPECT_EQ(parsed({"--bitrate", "20M", "--preset", "upload", "--video", "v.mp4"}).encoding.bitrate, 0u);
    EXPECT_EQ(parsed({"--preset", "upload", "--bitrate", "7.5M", "--video", "v.mp4"}).encoding.bitrate, 7500000u);

    // The master: FFV1 with every frame a key frame, RGB as drawn, FLAC; any size.
    const VideoEncoding master = parsed({"--preset", "master", "--video", "m.mkv", "--size", "63x35"}).encoding;
    EXPECT_EQ(pixelFormat(master), "bgr0");
    const std::vector<std::string> lossless = videoCodecArguments(master, 63, 35, 60);
    EXPECT_TRUE(has(lossless, "-c:v", "ffv1") && has(lossless, "-g", "1"));
    EXPECT_EQ(std::count(lossless.begin(), lossless.end(), "-crf"), 0);
    EXPECT_EQ(audioCodecArguments(master), (std::vector<std::string>{"-c:a", "flac"}));
    // Another codec under the master keeps its own pixel format and rate control.
    const VideoEncoding h264 = parsed({"--preset", "master", "--codec", "h264", "--video", "m.mkv"}).encoding;
    EXPECT_EQ(pixelFormat(h264), "yuv420p");
    EXPECT_TRUE(has(videoCodecArguments(h264, 1280, 720, 60), "-crf", "18"));
    // An encoder of another kind gets no private options of the codec's own encoder.
    const VideoEncoding other = parsed({"--encoder", "h264_nvenc", "--video", "v.mp4"}).encoding;
    const std::vector<std::string> gpu = videoCodecArguments(other, 1280, 720, 60);
    EXPECT_TRUE(has(gpu, "-c:v", "h264_nvenc"));
    EXPECT_EQ(std::count(gpu.begin(), gpu.end(), "-x264-params") + std::count(gpu.begin(), gpu.end(), "-crf"), 0);
    // A VAAPI encoder gets its frames uploaded in the GPU's format, not converted by ffmpeg.
    const VideoEncoding vaapi = parsed({"--encoder", "hevc_vaapi", "--pix-fmt", "yuv420p10le", "--video", "v.mp4"}).encoding;
    const std::vector<std::string> uploaded = videoCodecArguments(vaapi, 1280, 720, 60);
    EXPECT_EQ(std::count(uploaded.begin(), uploaded.end(), "-pix_fmt"), 0);
    EXPECT_EQ(gpuFilter(vaapi), ",format=p010le,hwupload");
    EXPECT_EQ(gpuArguments(other), std::vector<std::string>{});
}

TEST(CaptureEncoding, RecommendedBitrateByTheSmallestRowThatHoldsTheFrame) {
    EXPECT_EQ(uploadBitrate(1920, 1080, 60), 12000000u);
    EXPECT_EQ(uploadBitrate(1920, 1080, 30), 8000000u);
    EXPECT_EQ(uploadBitrate(2560, 1440, 50), 24000000u);
    EXPECT_EQ(uploadBitrate(3840, 2160, 60), 53000000u);
    EXPECT_EQ(uploadBitrate(3840, 2160, 24), 35000000u);
    EXPECT_EQ(uploadBitrate(160, 90, 60), 7500000u);
    EXPECT_EQ(uploadBitrate(1280, 720, 31), 7500000u);
    EXPECT_EQ(uploadBitrate(1280, 721, 30), 8000000u);  // taller than 720p: the 1080p row
    EXPECT_EQ(uploadBitrate(8192, 4320, 120), 53000000u);
}

TEST(CaptureEncoding, CombinationsThatCannotWorkAreRefused) {
    const std::vector<std::vector<std::string>> bad = {
        {"--preset", "master", "--video", "m.mp4"},                       // FFV1 in MP4
        {"--preset", "master", "--codec", "h264", "--video", "m.mov"},    // FLAC in QuickTime
        {"--preset", "upload", "--size", "161x90", "--video", "v.mkv"},    // odd width, 4:2:0
        {"--codec", "h264", "--pix-fmt", "yuv422p", "--size", "161x90", "--video", "v.mkv"},
        {"--codec", "hevc", "--pix-fmt", "bgr0", "--video", "v.mkv"},
        {"--codec", "av1", "--size", "128x36", "--video", "v.mkv"},
        {"--codec", "av1", "--video", "v.mov"},
        {"--codec", "h264", "--crf", "52", "--video", "v.mkv"},
        {"--preset", "master", "--bitrate", "8M", "--video", "v.mkv"},
        {"--preset", "vimeo", "--video", "v.mkv"},
        {"--codec", "mpeg2", "--video", "v.mkv"},
        {"--bitrate", "9k", "--video", "v.mkv"},
        {"--bitrate", "1.2.3M", "--video", "v.mkv"},
        {"--crf", "20", "--png", "f"},                          // shapes no video
        {"--chapters", "c.txt", "--png", "f"},
        {"--manifest", "m.json", "--sheet", "s.png"},           // no output frames
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        const std::string error = parseCaptureOptions(args).error;
        EXPECT_NE(error, "") << joined;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    // Odd sizes are fine where nothing is subsampled; 4:2:2 needs an even width only.
    EXPECT_EQ(parseCaptureOptions({"--codec", "h264", "--pix-fmt", "yuv444p", "--size", "161x91", "--video", "v.mkv"}).error, "");
    EXPECT_EQ(parseCaptureOptions({"--codec", "h264", "--pix-fmt", "yuv422p", "--size", "160x91", "--video", "v.mkv"}).error, "");
    EXPECT_EQ(parseCaptureOptions({"--manifest", "m.json", "--png", "f"}).error, "");
    EXPECT_EQ(containerFor("dir.mkv/show"), Container::Mp4);
    EXPECT_EQ(containerFor("Show.MKV"), Container::Matroska);
}

// Scenes that the recorded range shows, clipped to it, in whole seconds for the list.
TEST(CaptureChapters, ScenesClippedToTheRecording) {
    const std::vector<Chapter> whole = recordedChapters(0, 90600);
    ASSERT_EQ(whole.size(), 10u);
    EXPECT_EQ(whole[1].startMs, 18097u);
    EXPECT_EQ(whole[9].endMs, 90597u);
    const std::string list = chapterList(whole);
    EXPECT_EQ(list.substr(0, list.find('\n', list.find('\n') + 1) + 1), "0:00 Opening cube\n0:18 Start picture\n");
    EXPECT_NE(list.find("\n1:22 Closing cube\n"), std::string::npos);
    // From inside the particles to inside the picture beats: two chapters, from 0 on.
    const std::vector<Chapter> part = recordedChapters(40000, 10000);
    ASSERT_EQ(part.size(), 2u);
    EXPECT_EQ(part[0].title, "Particles");
    EXPECT_EQ(part[0].startMs, 0u);
    EXPECT_EQ(part[0].endMs, 8097u);
    EXPECT_EQ(part[1].endMs, 10000u);
    EXPECT_EQ(chapterList(part), "0:00 Particles\n0:08 Picture beats\n");
    EXPECT_EQ(chapterMetadata(part).substr(0, 13), ";FFMETADATA1\n");
}

// The audio is cut where ffmpeg cuts it: times in microseconds, rounded to whole samples.
TEST(CaptureManifest, AudioSamplesOfTheRecordedRange) {
    const ManifestAudio a = recordedAudio(44100, 89000, 96, 60);
    EXPECT_EQ(a.firstSample, 3924900u);
    EXPECT_EQ(a.samples, 70560u);
    EXPECT_EQ(recordedAudio(44100, 1, 1, 60).firstSample, 44u);  // 44.1 samples
    EXPECT_EQ(recordedAudio(48000, 0, 1, 7).samples, 6857u);     // 6857.14
}
