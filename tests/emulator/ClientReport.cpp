// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/emulator/ClientReport.h"

#include <algorithm>
#include <cstdio>

namespace {

long number(const std::string& text, const char* format) {
    long value = -1;
    std::sscanf(text.c_str(), format, &value);
    return value;
}

// A profile number written in hex as `format` says.
int profile(const std::string& text, const char* format) {
    unsigned value = 0;
    return std::sscanf(text.c_str(), format, &value) == 1 ? static_cast<int>(value) : -1;
}

// The "track: N lba: X" and "track:lout lba: X" lines of cdrskin and wodim.
void readToc(const Lines& lines, DiscReport& report) {
    for (const std::string& line : lines) {
        long track = 0;
        long start = 0;
        if (std::sscanf(line.c_str(), "track: %ld lba: %ld", &track, &start) == 2) {
            report.trackStarts.push_back(start);
        }
        std::sscanf(line.c_str(), "track:lout lba: %ld", &report.leadOut);
    }
}

} // namespace

std::string after(const Lines& lines, const std::string& label) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (const std::size_t at = line->find(label); at != std::string::npos) {
            const std::size_t text = line->find_first_not_of(" \t", at + label.size());
            return text == std::string::npos ? std::string() : line->substr(text);
        }
    }
    return "<no line \"" + label + "\">";
}

DiscReport xorrisoReport(const Lines& lines) {
    DiscReport report;
    for (const std::string& line : lines) {
        long start = 0;
        if (line.ends_with("(current)")) {
            report.profile = profile(line, "Profile : 0x%x");
        }
        if (std::sscanf(line.c_str(), "ISO session : %*d , %ld", &start) == 1 ||
            std::sscanf(line.c_str(), "Incmp session: %*d , %ld", &start) == 1) {
            report.trackStarts.push_back(start);
        }
    }
    const std::string status = after(lines, "Media status :");
    report.status = status.starts_with("is blank")                     ? "blank"
                    : status.starts_with("is written , is appendable") ? "appendable"
                    : status.starts_with("is written , is closed")     ? "closed"
                                                                       : status;
    report.nextWritable = number(after(lines, "Media nwa    :"), "%lds");
    report.freeBlocks = number(after(lines, "Media blocks :"), "%*d readable , %ld");
    std::sscanf(after(lines, "Format status:").c_str(), "formatted, with %lf MiB",
                &report.formatted);
    return report;
}

DiscReport cdrskinReport(const Lines& lines) {
    DiscReport report;
    const std::string summary = after(lines, "Media summary:");
    for (const char* status : {"blank", "appendable", "closed"}) {
        if (summary.find(std::string(" ") + status + " ") != std::string::npos) {
            report.status = status;
        }
    }
    readToc(lines, report);
    return report;
}

DiscReport wodimReport(const Lines& lines) {
    DiscReport report;
    report.profile = profile(after(lines, "Current:"), "0x%x");
    readToc(lines, report);
    for (const std::string& line : lines) {
        long lastSession = 0;
        long next = 0;
        char rest = 0;
        if (std::sscanf(line.c_str(), "%ld,%ld%c", &lastSession, &next, &rest) == 2) {
            report.nextWritable = next;
            report.freeBlocks = number(after(lines, "ATIP start of lead out:"), "%ld") - next;
        }
    }
    return report;
}

DiscReport mediainfoReport(const Lines& lines) {
    DiscReport report;
    report.profile = profile(after(lines, "Mounted Media:"), "%xh");
    const std::string status = after(lines, "Disc status:");
    report.status = status == "complete" ? "closed" : status;
    // Each track's lines, up to the next heading (a line without indent).
    for (auto heading = lines.begin(); heading != lines.end(); ++heading) {
        if (!heading->starts_with("READ TRACK INFORMATION")) {
            continue;
        }
        const auto end = std::find_if(heading + 1, lines.end(), [](const std::string& line) {
            return !line.starts_with(" ");
        });
        const Lines track(heading, end);
        const std::string state = after(track, "Track State:");
        if (state.find("blank") != std::string::npos ||
            state.find("invisible") != std::string::npos) {
            report.nextWritable = number(after(track, "Next Writable Address:"), "%ld");
            report.freeBlocks = number(after(track, "Free Blocks:"), "%ld");
        } else {
            report.trackStarts.push_back(number(after(track, "Track Start Address:"), "%ld"));
        }
    }
    report.leadOut = number(after(lines, "Track#AA :"), "%*x@%ld");
    if (const long blocks = number(after(lines, " formatted:"), "%ld"); blocks >= 0) {
        report.formatted = static_cast<double>(blocks) * 2048 / (1024 * 1024);
    }
    return report;
}

DiscReport sg3Report(const Lines& lines) {
    DiscReport report;
    // The first line of the hex dump: offset 00, then the header's bytes,
    // the current profile in its seventh and eighth.
    unsigned high = 0;
    unsigned low = 0;
    for (const std::string& line : lines) {
        if (std::sscanf(line.c_str(), " 00 %*x %*x %*x %*x %*x %*x %x %x", &high, &low) == 2) {
            report.profile = static_cast<int>(high << 8 | low);
            break;
        }
    }
    if (const long blocks = number(after(lines, "Number of logical blocks="), "%ld"); blocks >= 0) {
        report.formatted = static_cast<double>(blocks) * 2048 / (1024 * 1024);
    }
    return report;
}
