#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

// The text in the file open as `fd`, from its start, without the line end at its end.
std::string fileText(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    lseek(fd, 0, SEEK_SET);
    while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(got));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

pid_t startProgram(const std::string& program, const std::vector<std::string>& arguments, int in,
                   int out, int err, std::string& error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in >= 0) posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
    if (out >= 0) posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    if (err >= 0) posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    const int result = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result == 0) return child;
    error = "cannot start " + program + ": " + std::strerror(result);
    return -1;
}

bool waitForProgram(pid_t child, const std::atomic<bool>& stop, int& status, std::string& error) {
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR || stop) {
            error = "interrupted";
            return false;
        }
    }
    return true;
}

std::string exitProblem(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? "" : "failed with exit status " + std::to_string(WEXITSTATUS(status));
    return "was killed by signal " + std::to_string(WTERMSIG(status));
}

bool runToEnd(const std::string& program, const std::vector<std::string>& arguments, int limitMs,
              std::string& output, std::string& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int messages = memfd_create("messages", MFD_CLOEXEC);
    const pid_t child = startProgram(program, arguments, input, fds[1], messages, error);
    close(fds[1]);
    if (input >= 0) close(input);
    output.clear();
    bool open = child >= 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
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
    if (child < 0) {
        if (messages >= 0) close(messages);
        return false;
    }
    if (open) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    // What it said, on one line.
    std::string said;
    for (const char c : messages >= 0 ? fileText(messages) : std::string()) said += c == '\n' ? "; " : std::string(1, c);
    if (messages >= 0) close(messages);
    const std::string problem = open ? "did not end within " + std::to_string(limitMs / 1000) + " s"
                                     : exitProblem(status);
    if (problem.empty()) return true;
    error = program + " " + problem + (said.empty() ? "" : ": " + said);
    return false;
}

std::string lastLine(int fd) {
    const std::string text = fileText(fd);
    const size_t newline = text.find_last_of("\r\n");
    return newline == std::string::npos ? text : text.substr(newline + 1);
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
