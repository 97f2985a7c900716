#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// The video output: raw RGBA frames piped into the ffmpeg program, which encodes H.264
// (yuv420p, closed GOP of half a second) and the soundtrack as AAC into an MP4.

struct VideoSettings {
    int width = 0;              // pixels, even
    int height = 0;
    uint32_t fps = 60;
    uint32_t startMs = 0;       // clock value of the first frame: where the audio starts
    uint64_t frames = 0;        // frames that will be sent; both streams last frames / fps s
    std::string musicPath;      // the soundtrack; its first sample is clock value 0
    std::string outputPath;     // where ffmpeg writes (the temporary name)
};

// The ffmpeg command line (without the program name). Frames arrive bottom-up (GL order)
// and are flipped by ffmpeg. The audio is decoded from the beginning and cut by timestamp,
// which is sample-exact and honours the encoder delay the decoder removes; it is padded
// with silence when the soundtrack is shorter than the recording.
std::vector<std::string> ffmpegArguments(const VideoSettings& settings);

// Full path of an executable named `name` on PATH; empty when there is none.
std::string findOnPath(const std::string& name);

// A running ffmpeg fed through a pipe.
class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool start(const std::string& program, const std::vector<std::string>& arguments,
               std::string& error);
    // Sends one frame; false when ffmpeg has gone away.
    bool writeFrame(const uint8_t* data, size_t bytes, std::string& error);
    // Closes the pipe and waits for ffmpeg; true when it exited with status 0.
    bool finish(std::string& error);

private:
    pid_t child_ = -1;
    int pipe_ = -1;
};
