#pragma once
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "encoding.h"

// The video output: raw RGBA frames piped into the ffmpeg program, which encodes them
// (closed GOPs of half a second) and the soundtrack as `encoding` says (encoding.h).

struct VideoSettings {
    int width = 0;              // pixels, even
    int height = 0;
    uint32_t fps = 60;
    uint32_t startMs = 0;       // clock value of the first frame: where the audio starts
    uint64_t frames = 0;        // frames that will be sent; both streams last frames / fps s
    std::string musicPath;      // the soundtrack; its first sample is clock value 0
    std::string outputPath;     // where ffmpeg writes (the temporary's descriptor, or a FIFO)
    bool seekableOutput = true; // false for a FIFO: an MP4 is written as a fragmented stream
    VideoEncoding encoding;
    Container container = Container::Mp4;
    std::string chaptersPath;   // FFMETADATA chapters to write ("" = none)
};

// The ffmpeg command line (without the program name). Frames arrive bottom-up (GL order)
// and are flipped by ffmpeg. The audio is decoded from the beginning and cut by timestamp,
// which is sample-exact and honours the encoder delay the decoder removes; it is padded
// with silence when the soundtrack is shorter than the recording. A file gets its index
// at the front (fast start); a stream that cannot seek gets a fragmented MP4 instead.
// Without edit lists (--preset upload) the soundtrack starts after the AAC priming samples,
// which such a file plays first, so that sound and picture stay together.
std::vector<std::string> ffmpegArguments(const VideoSettings& settings);

// ffmpeg's command line for encoding one black frame as `settings` would encode the video,
// to nothing: whether the encoder opens at all (a GPU's may not on this machine).
std::vector<std::string> encoderTrialArguments(const VideoSettings& settings);

// Runs `program` to its end, its standard output and error collected in `output`; true
// when it exits with status 0. One that runs longer than `limitMs` is killed (false).
bool runToEnd(const std::string& program, const std::vector<std::string>& arguments, int limitMs,
              std::string& output);

// Full path of an executable named `name` on PATH; empty when there is none.
std::string findOnPath(const std::string& name);

// A running ffmpeg fed through a pipe. `stop` (set from a signal handler, whose signal
// must interrupt system calls) ends a write or wait that ffmpeg keeps blocked.
class VideoEncoder {
public:
    explicit VideoEncoder(const std::atomic<bool>& stop) : stop_(stop) {}
    // Ends ffmpeg if it still runs, even a stopped one.
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool start(const std::string& program, const std::vector<std::string>& arguments,
               std::string& error);
    // Sends one frame; false when ffmpeg has gone away or a stop was requested.
    bool writeFrame(const uint8_t* data, size_t bytes, std::string& error);
    // Closes the pipe and waits for ffmpeg; true when it exited with status 0.
    bool finish(std::string& error);
    // The running ffmpeg; -1 before start and once it has ended.
    pid_t process() const { return child_; }

private:
    const std::atomic<bool>& stop_;
    pid_t child_ = -1;
    int pipe_ = -1;
};
