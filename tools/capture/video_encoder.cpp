#include "video_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
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

std::vector<std::string> encoderTrialArguments(const VideoSettings& s) {
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-nostdin"};
    const std::vector<std::string> gpu = gpuArguments(s.encoding);
    args.insert(args.end(), gpu.begin(), gpu.end());
    args.insert(args.end(), {"-f", "lavfi", "-i",
                             "color=c=black:s=" + std::to_string(s.width) + "x" + std::to_string(s.height) +
                                 ":r=" + std::to_string(s.fps) + gpuFilter(s.encoding),
                             "-frames:v", "1"});
    const std::vector<std::string> video = videoCodecArguments(s.encoding, s.width, s.height, s.fps);
    args.insert(args.end(), video.begin(), video.end());
    args.insert(args.end(), {"-f", "null", "-"});
    return args;
}

std::vector<std::string> ffmpegArguments(const VideoSettings& s) {
    const VideoEncoding& e = s.encoding;
    // The audio is cut at the sample rate it is encoded at; only a known rate is shifted.
    const uint64_t rate = e.audioRate > 0 ? e.audioRate : 1;
    const uint64_t priming = e.audioRate > 0 ? audioPrimingSamples(e) : 0;
    const uint64_t frameSamples = s.frames * rate;  // times fps
    const std::string duration =
        secondsText(frameSamples > priming * s.fps ? frameSamples - priming * s.fps : 0, uint64_t(s.fps) * rate);
    const std::string start = secondsText(uint64_t(s.startMs) * rate + priming * 1000, 1000 * rate);
    const std::string audio = "[1:a]atrim=start=" + start + ",asetpts=PTS-STARTPTS,apad,atrim=duration=" +
                              duration + "[a]";
    const bool join = !s.partList.empty();
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-nostats", "-y"};
    const std::vector<std::string> gpu = join ? std::vector<std::string>{} : gpuArguments(e);
    args.insert(args.end(), gpu.begin(), gpu.end());
    const std::vector<std::string> frames = {
        // video: raw RGBA or BGRA on standard input, bottom row first
        "-f", "rawvideo", "-pix_fmt", s.bgra ? "bgra" : "rgba",
        "-video_size", std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", std::to_string(s.fps),
        // room for a few frames between the pipe's reader and the encoder, so that a
        // busy encoder does not stall the pipe (and the drawing behind it)
        "-thread_queue_size", "16", "-i", "pipe:0"};
    // video: the recorded parts one after the other, their streams copied
    const std::vector<std::string> parts = {"-itsoffset", "-" + (s.partsStart.empty() ? "0" : s.partsStart),
                                            "-f", "concat", "-safe", "0", "-i", s.partList};
    args.insert(args.end(), join ? parts.begin() : frames.begin(), join ? parts.end() : frames.end());
    args.insert(args.end(), {"-i", s.musicPath});
    if (!s.chaptersPath.empty()) args.insert(args.end(), {"-f", "ffmetadata", "-i", s.chaptersPath});
    args.insert(args.end(), {"-filter_complex", (join ? "" : "[0:v]vflip" + gpuFilter(e) + "[v];") + audio,
                             "-map", join ? "0:v" : "[v]", "-map", "[a]"});
    if (!s.chaptersPath.empty()) args.insert(args.end(), {"-map_chapters", "2"});
    const std::vector<std::string> video =
        join ? std::vector<std::string>{"-c:v", "copy"} : videoCodecArguments(e, s.width, s.height, s.fps);
    args.insert(args.end(), video.begin(), video.end());
    // Apple's players want HEVC tagged hvc1 in MP4 and QuickTime files.
    if (e.codec == "hevc" && s.container != Container::Matroska) args.insert(args.end(), {"-tag:v", "hvc1"});
    const std::vector<std::string> sound = audioCodecArguments(e);
    args.insert(args.end(), sound.begin(), sound.end());
    // what a later join reads: the clock range the video holds
    args.insert(args.end(), {"-metadata", "comment=" + rangeTag({s.startMs, s.frames, s.fps})});
    if (s.container == Container::Matroska) {
        args.insert(args.end(), {"-f", "matroska", s.outputPath});
        return args;
    }
    std::string flags = s.seekableOutput ? "+faststart" : "frag_keyframe+empty_moov+default_base_moof";
    // Without edit lists the B-frames' reordering delay goes into negative composition
    // offsets, so that the video still starts at 0.
    if (e.noEditList) flags += "+negative_cts_offsets";
    args.insert(args.end(), {"-movflags", flags});
    if (e.noEditList) args.insert(args.end(), {"-use_editlist", "0"});
    args.insert(args.end(), {"-f", s.container == Container::QuickTime ? "mov" : "mp4", s.outputPath});
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
                            const std::vector<Chapter>& chapters, const OutputTarget& target,
                            std::string& error) {
    // ffmpeg reopens the temporary for reading the same way (fast start).
    const int inherited = target.inPlace ? -1 : fcntl(target.fd, F_DUPFD, 3);
    const int chapterFile = memfd_create("chapters", 0);
    const std::string metadata = chapterMetadata(chapters);
    const bool handed = (target.inPlace || inherited >= 0) && chapterFile >= 0 &&
                        write(chapterFile, metadata.data(), metadata.size()) == ssize_t(metadata.size());
    bool started = false;
    if (!handed) {
        error = "cannot hand the video file and its chapters to ffmpeg";
    } else {
        settings.outputPath = target.inPlace ? target.writePath : "/proc/self/fd/" + std::to_string(inherited);
        settings.seekableOutput = !target.inPlace;
        settings.chaptersPath = "/proc/self/fd/" + std::to_string(chapterFile);
        started = start(program, ffmpegArguments(settings), error);
    }
    if (inherited >= 0) ::close(inherited);
    if (chapterFile >= 0) ::close(chapterFile);
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
