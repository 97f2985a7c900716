#include "video_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "child_process.h"
#include "recorded_range.h"

namespace {

constexpr int PipeBytes = 1 << 20;  // the default /proc/sys/fs/pipe-max-size

// Seconds as text with microsecond precision (what ffmpeg's duration syntax resolves).
std::string secondsText(uint64_t numerator, uint64_t denominator) {
    const uint64_t micros = (numerator * 1000000 + denominator / 2) / denominator;
    char text[48];
    std::snprintf(text, sizeof text, "%llu.%06llu", static_cast<unsigned long long>(micros / 1000000),
                  static_cast<unsigned long long>(micros % 1000000));
    return text;
}

}  // namespace

std::vector<std::string> ffmpegArguments(const VideoSettings& s) {
    const std::string duration = secondsText(s.frames, s.fps);
    const std::string start = secondsText(s.startMs, 1000);
    const std::string gop = std::to_string(s.fps / 2 > 0 ? s.fps / 2 : 1);
    const std::string audio = "[1:a]atrim=start=" + start + ",asetpts=PTS-STARTPTS,apad,atrim=duration=" +
                              duration + "[a]";
    const bool join = !s.partList.empty();
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-nostats", "-y"};
    const std::vector<std::string> frames = {
        // video: raw RGBA or BGRA on standard input, bottom row first
        "-f", "rawvideo", "-pix_fmt", s.bgra ? "bgra" : "rgba",
        "-video_size", std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", std::to_string(s.fps),
        // room for a few frames between the pipe's reader and the encoder, so that a
        // busy encoder does not stall the pipe (and the drawing behind it)
        "-thread_queue_size", "16", "-i", "pipe:0"};
    // video: the recorded parts one after the other, their streams copied
    const std::vector<std::string> parts = {"-f", "concat", "-safe", "0", "-i", s.partList};
    args.insert(args.end(), join ? parts.begin() : frames.begin(), join ? parts.end() : frames.end());
    args.insert(args.end(), {"-i", s.musicPath, "-filter_complex", (join ? "" : "[0:v]vflip[v];") + audio,
                             "-map", join ? "0:v" : "[v]", "-map", "[a]"});
    const std::vector<std::string> encode = {
        "-c:v", "libx264", "-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p",
        "-g", gop, "-keyint_min", gop, "-sc_threshold", "0", "-flags", "+cgop",
        "-x264-params", "keyint=" + gop + ":min-keyint=" + gop + ":scenecut=0"};
    const std::vector<std::string> copy = {"-c:v", "copy"};
    args.insert(args.end(), join ? copy.begin() : encode.begin(), join ? copy.end() : encode.end());
    args.insert(args.end(),
                {"-c:a", "aac", "-b:a", "192k",
                 // what a later join reads: the clock range the video holds
                 "-metadata", "comment=" + rangeTag({s.startMs, s.frames, s.fps}),
                 "-movflags", s.seekableOutput ? "+faststart" : "frag_keyframe+empty_moov+default_base_moof",
                 "-f", "mp4", s.outputPath});
    return args;
}

VideoEncoder::~VideoEncoder() {
    if (pipe_ >= 0) close(pipe_);
    if (child_ <= 0) return;
    // A stopped process keeps SIGTERM pending until continued.
    kill(child_, SIGTERM);
    kill(child_, SIGCONT);
    constexpr int GraceSteps = 200;  // of 10 ms: ffmpeg may take a moment to close its file
    for (int step = 0; step < GraceSteps; ++step) {
        if (waitpid(child_, nullptr, WNOHANG) != 0) return;
        usleep(10000);
    }
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
}

bool VideoEncoder::start(const std::string& program, const std::vector<std::string>& arguments,
                         std::string& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    child_ = startProgram(program, arguments, fds[0], -1, -1, error);
    close(fds[0]);
    if (child_ < 0) {
        close(fds[1]);
        return false;
    }
    pipe_ = fds[1];
    // A frame is megabytes: a larger pipe (up to the unprivileged limit) needs fewer
    // switches between this process and ffmpeg. Failing that, the default pipe works too.
    fcntl(pipe_, F_SETPIPE_SZ, PipeBytes);
    return true;
}

bool VideoEncoder::startFor(const std::string& program, VideoSettings settings,
                            const OutputTarget& target, std::string& error) {
    // ffmpeg reopens the temporary for reading the same way (fast start).
    const int inherited = target.inPlace ? -1 : fcntl(target.fd, F_DUPFD, 3);
    if (!target.inPlace && inherited < 0) {
        error = "cannot hand the video file to ffmpeg";
        return false;
    }
    settings.outputPath = target.inPlace ? target.writePath : "/proc/self/fd/" + std::to_string(inherited);
    settings.seekableOutput = !target.inPlace;
    const bool started = start(program, ffmpegArguments(settings), error);
    if (inherited >= 0) ::close(inherited);
    return started;
}

bool VideoEncoder::writeFrame(const uint8_t* data, size_t bytes, std::string& error) {
    while (bytes > 0) {
        // Checked before every write: an interrupted write may return a partial count.
        if (stop_) {
            error = "interrupted";
            return false;
        }
        const ssize_t written = write(pipe_, data, bytes);
        if (written < 0) {
            if (errno == EINTR) continue;
            error = std::string("ffmpeg stopped taking frames: ") + std::strerror(errno);
            return false;
        }
        data += written;
        bytes -= size_t(written);
    }
    return true;
}

bool VideoEncoder::finish(std::string& error) {
    close(pipe_);
    pipe_ = -1;
    int status = 0;
    if (!waitForProgram(child_, stop_, status, error)) return false;  // the destructor ends ffmpeg
    child_ = -1;
    const std::string problem = exitProblem(status);
    if (problem.empty()) return true;
    error = "ffmpeg " + problem;
    return false;
}
