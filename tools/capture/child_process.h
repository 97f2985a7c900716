#pragma once
#include <sys/types.h>

#include <atomic>
#include <string>
#include <vector>

// Other programs the recorder runs: ffmpeg, ffprobe and its own parts of a split recording.

// Starts `program` (a full path) with `arguments`; `in`, `out`, `err` become its standard
// input, output and error (-1: this process's own). -1 with `error` when it cannot start.
pid_t startProgram(const std::string& program, const std::vector<std::string>& arguments, int in,
                   int out, int err, std::string& error);

// Waits for `child` to end and sets its wait status. False, with "interrupted", once `stop`
// is set (a signal that interrupts system calls sets it), the child still running.
bool waitForProgram(pid_t child, const std::atomic<bool>& stop, int& status, std::string& error);

// "" for a wait status of exit 0; else "failed with exit status N" or "was killed by
// signal N".
std::string exitProblem(int status);

// Runs `program` with standard input from /dev/null to its end, for at most `limitMs`
// (then it is killed), and returns what it wrote to standard output. False with a one-line
// reason (with what it wrote to standard error, its lines joined) when it could not run, ran too
// long or did not exit with 0.
bool runToEnd(const std::string& program, const std::vector<std::string>& arguments, int limitMs,
              std::string& output, std::string& error);

// The last line of text in the file open as `fd` (read from its start), without the line end.
std::string lastLine(int fd);

// Full path of an executable named `name` on PATH; empty when there is none.
std::string findOnPath(const std::string& name);
