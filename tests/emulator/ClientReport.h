// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// What a client program nobody here wrote says about the disc in a drive,
// in the terms the clients share. -1 and empty: the client did not say.
struct DiscReport {
    int profile = -1;              // MMC profile number
    std::string status;            // blank, appendable, closed, or other (random access)
    std::vector<long> trackStarts; // of the tracks (xorriso: sessions) that hold data
    long leadOut = -1;             // where the table of contents ends
    long nextWritable = -1;        // where the next session starts
    long freeBlocks = -1;          // room from there on
    double formatted = -1;         // MiB an overwritable disc is formatted to
};

// What a client printed after a label, on the last line that has it: a
// client reports the medium again after each change.
std::string after(const Lines& lines, const std::string& label);

// xorriso -list_profiles out -toc
DiscReport xorrisoReport(const Lines& lines);
// cdrskin -atip -toc
DiscReport cdrskinReport(const Lines& lines);
// wodim -v -atip -toc, then wodim -msinfo
DiscReport wodimReport(const Lines& lines);
// dvd+rw-mediainfo
DiscReport mediainfoReport(const Lines& lines);
// sg_get_config -H -r 2 -s 0 (the reply's header in hex), then sg_readcap
DiscReport sg3Report(const Lines& lines);
