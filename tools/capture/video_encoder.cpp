#include "video_encoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

std::vector<std::string> ffmpegArguments(const VideoSettings& s) {
    const std::string duration = secondsText(s.frames, s.fps);
    const std::string start = secondsText(s.startMs, 1000);
    const std::string gop = std::to_string(s.fps / 2 > 0 ? s.fps / 2 : 1);
    const std::string audio = "[1:a]atrim=start=" + start + ",asetpts=PTS-STARTPTS,apad,atrim=duration=" +
                              duration + "[a]";
    return {"-hide_banner", "-loglevel", "error", "-nostats", "-y",
            // video: raw RGBA on standard input, bottom row first
            "-f", "rawvideo", "-pix_fmt", "rgba",
            "-video_size", std::to_string(s.width) + "x" + std::to_string(s.height),
            "-framerate", std::to_string(s.fps),
            // room for a few frames between the pipe's reader and the encoder, so that a
            // busy encoder does not stall the pipe (and the drawing behind it)
            "-thread_queue_size", "16", "-i", "pipe:0",
            "-i", s.musicPath,
            "-filter_complex", "[0:v]vflip[v];" + audio,
            "-map", "[v]", "-map", "[a]",
            "-c:v", "libx264", "-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p",
            "-g", gop, "-keyint_min", gop, "-sc_threshold", "0", "-flags", "+cgop",
            "-x264-params", "keyint=" + gop + ":min-keyint=" + gop + ":scenecut=0",
            "-c:a", "aac", "-b:a", "192k",
            "-movflags", s.seekableOutput ? "+faststart" : "frag_keyframe+empty_moov+default_base_moof",
            "-f", "mp4", s.outputPath};
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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int result = posix_spawn(&child_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
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
