#pragma once
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "chapters.h"
#include "encoding.h"
#include "output_files.h"

// The video output: raw RGBA or BGRA frames piped into the ffmpeg program, which encodes
// them (closed GOPs of half a second) and the soundtrack as `encoding` says (encoding.h);
// or, for a join, the video of recorded parts copied and the soundtrack encoded anew.

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
    bool bgra = false;          // frames arrive as BGRA bytes, else RGBA
    std::string partList;       // a concat list of recorded parts whose video is copied
                                // (a join); "" for frames on standard input
    std::string partsStart;     // a join: the first part's video start, s ("0.023000"), taken
                                // off so that the joined video starts where a part's does
                                // (the muxer shifts both streams by the new sound's priming)
};

// The ffmpeg command line (without the program name). Frames arrive bottom-up (GL order),
// RGBA or BGRA, and are flipped by ffmpeg. The audio is decoded from the beginning and cut by timestamp,
// which is sample-exact and honours the encoder delay the decoder removes; it is padded
// with silence when the soundtrack is shorter than the recording. A file gets its index
// at the front (fast start); a stream that cannot seek gets a fragmented MP4 instead.
// Without edit lists (--preset upload) the soundtrack starts after the AAC priming samples,
// which such a file plays first, so that sound and picture stay together. The file's
// comment holds its clock range (recorded_range.h), which a join reads.
std::vector<std::string> ffmpegArguments(const VideoSettings& settings);

// ffmpeg's command line for encoding one black frame as `settings` would encode the video,
// to nothing: whether the encoder opens at all (a GPU's may not on this machine).
std::vector<std::string> encoderTrialArguments(const VideoSettings& settings);

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

    // Starts ffmpeg with the arguments for `settings`, writing to `target` (output_files.h):
    // through a descriptor of the temporary this run created, never by its name, or
    // straight into a FIFO; `chapters` go in from a file that exists only in memory. Sets
    // settings' output and chapter fields.
    bool startFor(const std::string& program, VideoSettings settings, const std::vector<Chapter>& chapters,
                  const OutputTarget& target, std::string& error);

private:
    const std::atomic<bool>& stop_;
    pid_t child_ = -1;
    int pipe_ = -1;
};
