// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Arguments.h"

#include "disctool/OutsideText.h"
#include "protocol/ToolProtocol.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace disctool {

namespace {

bool isHelp(std::string_view arg) {
    return arg == "-help" || arg == "--help" || arg == "-h";
}

// The speeds the window offers, and the maximum.
bool parseSpeed(std::string_view text, int& speed) {
    if (text == toolprotocol::maximumSpeed) {
        speed = 0;
        return true;
    }
    for (const toolprotocol::Speed& offered : toolprotocol::speeds) {
        if (text == offered.value) {
            speed = offered.multiple;
            return true;
        }
    }
    return false;
}

} // namespace

Arguments Arguments::invalid(std::string problem, bool puppetStrings) {
    Arguments result;
    result.command_ = Command::Invalid;
    result.problem_ = std::move(problem);
    result.burn_.puppetStrings = puppetStrings;
    return result;
}

Arguments Arguments::parse(const std::vector<std::string>& args) {
    const auto endOfOptions = std::find(args.begin(), args.end(), "--");
    if (std::any_of(args.begin(), endOfOptions,
                    [](const std::string& arg) { return isHelp(arg); })) {
        Arguments help;
        help.command_ = Command::Help;
        return help;
    }
    const bool puppetStrings =
        std::find(args.begin(), endOfOptions, "-puppetstrings") != endOfOptions;
    if (args.empty()) {
        return invalid("missing command: expected \"burn\"", puppetStrings);
    }
    if (args.front() != "burn") {
        return invalid("unknown command" + outside::quoted(" \"" + args.front() + "\"") +
                           ": expected \"burn\"",
                       puppetStrings);
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::find(rest.begin(), rest.end(), "-list") != rest.end()) {
        if (rest.size() != 1) {
            return invalid("-list takes no other arguments", puppetStrings);
        }
        Arguments list;
        list.command_ = Command::List;
        return list;
    }
    Arguments result;
    result.burn_.puppetStrings = puppetStrings;
    if (!result.parseBurn(rest)) {
        return invalid(result.problem_, puppetStrings);
    }
    result.command_ = Command::Burn;
    return result;
}

bool Arguments::parseBurn(const std::vector<std::string>& args) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (!isOption) {
            if (!optionsEnded && arg == "-") {
                problem_ = "the image must be a file, not \"-\"";
                return false;
            }
            if (!burn_.imagePath.empty()) {
                problem_ =
                    "more than one image given: " +
                    outside::quoted("\"" + burn_.imagePath + "\" and \"" + arg + "\"", "two");
                return false;
            }
            burn_.imagePath = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-verifyburn" || arg == "-noverifyburn") {
            burn_.verify = arg == "-verifyburn";
        } else if (arg == "-forceclose" || arg == "-noforceclose") {
            burn_.closeDisc = arg == "-forceclose";
        } else if (arg == "-eject" || arg == "-noeject") {
            burn_.eject = arg == "-eject";
        } else if (arg == "-erase") {
            burn_.erase = true;
        } else if (arg == toolprotocol::askBeforeErasingOption) {
            burn_.askBeforeErasing = true;
        } else if (arg == "-testburn") {
            burn_.testBurn = true;
        } else if (arg == "-puppetstrings") {
            burn_.puppetStrings = true;
        } else if (arg == "-speed" || arg == "-device") {
            if (i + 1 == args.size()) {
                problem_ = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "-device") {
                if (value.empty() || value.front() == '-') {
                    problem_ = "-device needs a value";
                    return false;
                }
                burn_.device = value;
            } else if (!parseSpeed(value, burn_.speed)) {
                problem_ = "invalid speed" + outside::quoted(" \"" + value + "\"") +
                           ": use 1, 2, 4, 6, 8, 12, 16, 24 or max";
                return false;
            }
        } else {
            problem_ = "unknown option" + outside::quoted(" \"" + arg + "\"");
            return false;
        }
    }
    if (burn_.imagePath.empty()) {
        problem_ = "no image given";
        return false;
    }
    if (burn_.device.empty()) {
        problem_ = "no device given: add -device ID (see \"burn -list\")";
        return false;
    }
    return true;
}

} // namespace disctool
