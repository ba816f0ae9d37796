// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/FileDescriptor.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The built emberlin-disctool (or another program) running as a child, its
// standard output and error merged into one pipe the way Emberlin reads them. Output is cut into
// lines as Emberlin does: at "\n", and after the disc prompt, which comes
// without a line end.
class ToolRun {
public:
    struct Options {
        std::vector<std::string> environment = {}; // NAME=VALUE, added to ours
        bool asNobody = false;                     // drop root privileges first
        std::int64_t fileSizeLimit = -1;           // RLIMIT_FSIZE for the tool, -1: unchanged
        // The tool's output stalls once it has written this many bytes, until
        // the test reads (the pipe is filled up to that room in advance).
        std::optional<std::size_t> outputRoom = {};
        std::string program = EMBERLIN_DISCTOOL; // another program to run the same way
        // Standard input a pipe the test writes with answer(); otherwise it is empty.
        bool answerable = false;
    };

    explicit ToolRun(const std::vector<std::string>& arguments);
    ToolRun(const std::vector<std::string>& arguments, const Options& options);
    ~ToolRun();
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;

    // Reads until a line satisfies the predicate (true) or the output ends or
    // the patience runs out (false).
    bool waitForLine(const std::function<bool(const std::string&)>& wanted,
                     std::chrono::seconds patience = std::chrono::seconds(60));
    bool waitForLine(const std::string& exact,
                     std::chrono::seconds patience = std::chrono::seconds(60));
    // Waits until the tool has written that many bytes, without reading them.
    bool waitUntilWritten(std::size_t bytes,
                          std::chrono::seconds patience = std::chrono::seconds(60));
    void sendSignal(int signal);
    // A line on the tool's standard input (answerable only), or, without
    // one, the input's end.
    void answer(const std::optional<std::string>& line);
    // Reads the rest of the output and reaps the child: its exit status, or
    // 128 + the signal that killed it; -1 if it did not end in time.
    int finish(std::chrono::seconds patience = std::chrono::seconds(120));

    const std::vector<std::string>& lines() const { return lines_; }

private:
    bool readMore(std::chrono::steady_clock::time_point deadline);
    void cutLines(bool atEnd);

    pid_t pid_ = -1;
    posix::FileDescriptor output_;
    posix::FileDescriptor input_; // the test's end of the tool's standard input
    std::size_t filler_ = 0;      // bytes put in the pipe ahead of the tool's output
    std::string pending_;
    std::vector<std::string> lines_;
    std::size_t examined_ = 0;
};

// Waits until `condition` holds, looking again whenever the file at `path` is
// created or written to: true once it holds, false when the patience ran out
// first.
bool waitForFileChange(const std::string& path, const std::function<bool()>& condition,
                       std::chrono::seconds patience = std::chrono::seconds(60));

// Runs the tool to its end and returns its lines and exit status.
struct ToolResult {
    std::vector<std::string> lines;
    int status = -1;
};
ToolResult runTool(const std::vector<std::string>& arguments, const ToolRun::Options& options = {});

// A command line written as one string: its words, split at white space.
std::vector<std::string> splitWords(const std::string& text);
