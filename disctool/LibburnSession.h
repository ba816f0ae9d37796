// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace disctool {

struct LibburnMessage {
    int code = 0;
    int severity = 0; // libburn's rank: higher is more severe
    std::string text;
    int osErrno = 0;
};

// libburn for the life of this object: initialised with every message queued
// (none printed: the output belongs to the progress lines), and shut down at
// the end. Drives must be released before it goes.
class LibburnSession {
public:
    LibburnSession();
    ~LibburnSession();
    LibburnSession(const LibburnSession&) = delete;
    LibburnSession& operator=(const LibburnSession&) = delete;

    bool initialised() const { return initialised_; }
    // What libburn said since the last forgetMessages(), oldest first.
    const std::vector<LibburnMessage>& messages();
    // Drops what libburn said so far, so that the next operation is
    // explained by its own messages.
    void forgetMessages();
    // explain() of messages().
    std::string explanation();

    // The message that explains a failure best: the most severe one from NOTE
    // up (a harmless complaint must not hide a fatal one), the earliest among
    // equals; with the system's error text. Empty when there is none.
    static std::string explain(const std::vector<LibburnMessage>& messages);
    // libburn's rank of a severity name ("SORRY", "FATAL"...): higher is more severe.
    static int severityRank(const char* name);

private:
    void collectMessages();

    bool initialised_ = false;
    std::vector<LibburnMessage> messages_;
};

} // namespace disctool
