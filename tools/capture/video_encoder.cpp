#include "video_encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

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

// Starts `program` with its standard input from `input` and, unless -1, its standard output
// and error into `output`. Returns posix_spawn's result.
int spawn(const std::string& program, const std::vector<std::string>& arguments, int input, int output,
          pid_t& child) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
    }
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int result = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return result;
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

bool runToEnd(const std::string& program, const std::vector<std::string>& arguments, int limitMs,
              std::string& output) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        output = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t child = -1;
    const int result = spawn(program, arguments, input, fds[1], child);
    close(fds[1]);
    if (input >= 0) close(input);
    if (result != 0) {
        close(fds[0]);
        output = "cannot start " + program + ": " + std::strerror(result);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    bool open = true;
    while (open && std::chrono::steady_clock::now() < deadline) {
        constexpr int StepMs = 100;
        pollfd ready{fds[0], POLLIN, 0};
        if (poll(&ready, 1, StepMs) <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got > 0) output.append(buffer, size_t(got));
        open = got > 0 || (got < 0 && errno == EINTR);
    }
    close(fds[0]);
    if (open) {
        kill(child, SIGKILL);
        output += program + " did not end within " + std::to_string(limitMs / 1000) + " s";
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return !open && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-nostats", "-y"};
    const std::vector<std::string> gpu = gpuArguments(e);
    args.insert(args.end(), gpu.begin(), gpu.end());
    args.insert(args.end(), {
        // video: raw RGBA on standard input, bottom row first
        "-f", "rawvideo", "-pix_fmt", "rgba",
        "-video_size", std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", std::to_string(s.fps),
        // room for a few frames between the pipe's reader and the encoder, so that a
        // busy encoder does not stall the pipe (and the drawing behind it)
        "-thread_queue_size", "16", "-i", "pipe:0",
        "-i", s.musicPath});
    if (!s.chaptersPath.empty()) args.insert(args.end(), {"-f", "ffmetadata", "-i", s.chaptersPath});
    args.insert(args.end(), {"-filter_complex", "[0:v]vflip" + gpuFilter(e) + "[v];" + audio, "-map", "[v]", "-map", "[a]"});
    if (!s.chaptersPath.empty()) args.insert(args.end(), {"-map_chapters", "2"});
    const std::vector<std::string> video = videoCodecArguments(e, s.width, s.height, s.fps);
    args.insert(args.end(), video.begin(), video.end());
    // Apple's players want HEVC tagged hvc1 in MP4 and QuickTime files.
    if (e.codec == "hevc" && s.container != Container::Matroska) args.insert(args.end(), {"-tag:v", "hvc1"});
    const std::vector<std::string> sound = audioCodecArguments(e);
    args.insert(args.end(), sound.begin(), sound.end());
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

std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return "";
    std::string dirs = path;
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = end > begin ? dirs.substr(begin, end - begin) : ".";
        const std::string candidate = dir + "/" + name;
        struct stat info{};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return "";
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
    const int result = spawn(program, arguments, fds[0], -1, child_);
    close(fds[0]);
    if (result != 0) {
        close(fds[1]);
        child_ = -1;
        error = "cannot start " + program + ": " + std::strerror(result);
        return false;
    }
    pipe_ = fds[1];
    // A frame is megabytes: a larger pipe (up to the unprivileged limit) needs fewer
    // switches between this process and ffmpeg. Failing that, the default pipe works too.
    fcntl(pipe_, F_SETPIPE_SZ, PipeBytes);
    return true;
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
    while (waitpid(child_, &status, 0) < 0) {
        if (errno != EINTR || stop_) {
            error = "interrupted";
            return false;  // the destructor ends ffmpeg
        }
    }
    child_ = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = WIFEXITED(status) ? "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status))
                              : "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    return false;
}
