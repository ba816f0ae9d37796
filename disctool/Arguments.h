// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace disctool {

// What a burn was asked to do.
struct BurnOptions {
    std::string imagePath;
    std::string device;
    bool verify = true;
    bool closeDisc = true;
    int speed = 0; // a multiple of the medium's 1x; 0 is the drive's maximum
    bool erase = false;
    // Before data is lost, tell what the disc holds and wait for an answer
    // on standard input.
    bool askBeforeErasing = false;
    bool eject = true;
    bool testBurn = false;
    bool puppetStrings = false;
};

// The command line, parsed: `burn -list`, `burn IMAGE options...` or a help request.
class Arguments {
public:
    enum class Command { Help, List, Burn, Invalid };

    static Arguments parse(const std::vector<std::string>& args);

    Command command() const { return command_; }
    const BurnOptions& burn() const { return burn_; }
    // Why the arguments are invalid (Command::Invalid only).
    const std::string& problem() const { return problem_; }
    // Whether the caller asked for machine-readable output, even if the
    // rest of the line is unusable: its failures must then be readable too.
    bool puppetStrings() const { return burn_.puppetStrings; }

private:
    static Arguments invalid(std::string problem, bool puppetStrings);
    bool parseBurn(const std::vector<std::string>& args);

    Command command_ = Command::Invalid;
    BurnOptions burn_;
    std::string problem_;
};

} // namespace disctool
