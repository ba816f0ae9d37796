// SPDX-License-Identifier: GPL-3.0-or-later
// Every medium in every state, as two clients nobody here wrote report it:
// Debian's xorriso and cdrskin, both on libburn, run with the emulator
// preloaded. What they see must be what the device id describes, they must
// agree with each other, and xorriso must blank, format, write and read back.
#include "ScratchDirectory.h"
#include "TestImage.h"
#include "ToolRun.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct MediumCase {
    std::string id;
    std::string profile; // as libburn names the profile the drive reports
    bool overwritable;   // written anywhere in a formatted area, no sessions of its own
    bool rewritable;
    bool arrivesUnformatted;
};

void PrintTo(const MediumCase& medium, std::ostream* out) {
    *out << medium.id;
}

const std::vector<MediumCase> everyMedium = {
    {"cd-r", "CD-R", false, false, false},
    {"cd-rw", "CD-RW", false, true, false},
    {"dvd-r", "DVD-R sequential recording", false, false, false},
    {"dvd-r-dl", "DVD-R/DL sequential recording", false, false, false},
    {"dvd-rw", "DVD-RW sequential recording", false, true, false},
    {"dvd-rw-ro", "DVD-RW restricted overwrite", true, true, false},
    {"dvd+r", "DVD+R", false, false, false},
    {"dvd+r-dl", "DVD+R/DL", false, false, false},
    {"dvd+rw", "DVD+RW", true, true, true},
    {"dvd-ram", "DVD-RAM", true, true, true},
    {"bd-r", "BD-R sequential recording", false, false, false},
    {"bd-re", "BD-RE", true, true, true},
};

// Every disc here: 100 MiB, of which earlier sessions take 16 MiB.
constexpr long capacity = 100 * 1024 * 1024 / 2048;
constexpr long used = 16 * 1024 * 1024 / 2048;
const std::string size = "&capacity=100M&used=16M&sessions=2";

// What a client printed after a label, on the last line that has it: a
// client reports the medium again after each change.
std::string after(const Lines& lines, const std::string& label) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->starts_with(label)) {
            return line->substr(label.size());
        }
    }
    return "<no line \"" + label + "\">";
}

struct Blocks {
    long readable = -1;
    long writable = -1;
    long overall = -1;
};

Blocks blocksOf(const Lines& xorriso) {
    Blocks blocks;
    std::sscanf(after(xorriso, "Media blocks :").c_str(),
                " %ld readable , %ld writable , %ld overall", &blocks.readable, &blocks.writable,
                &blocks.overall);
    return blocks;
}

// The sessions of xorriso's table of contents and the tracks of cdrskin's,
// each as its start sector.
struct Session {
    long start;
    std::string volume;
};

std::vector<Session> xorrisoSessions(const Lines& lines) {
    std::vector<Session> sessions;
    for (const std::string& line : lines) {
        long number = 0;
        long start = 0;
        char volume[64] = {};
        if (std::sscanf(line.c_str(), "ISO session : %ld , %ld , %*ds , %63s", &number, &start,
                        volume) == 3) {
            sessions.push_back({start, volume});
        }
    }
    return sessions;
}

std::vector<long> cdrskinTracks(const Lines& lines, bool leadOuts = false) {
    std::vector<long> starts;
    for (const std::string& line : lines) {
        long number = 0;
        long start = 0;
        if (leadOuts ? std::sscanf(line.c_str(), "track:lout lba: %ld", &start) == 1
                     : std::sscanf(line.c_str(), "track: %ld lba: %ld", &number, &start) == 2) {
            starts.push_back(start);
        }
    }
    return starts;
}

std::string mebibytes(long sectors) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(sectors) * 2048 / 1048576);
    return text;
}

class EmulatedDisc : public testing::TestWithParam<MediumCase> {
protected:
    // A client on the emulated drive of `parameters`. Each drive keeps what
    // was done to its disc, so runs with the same `disc` see the same disc.
    Lines client(const std::string& program, const std::string& disc, const std::string& parameters,
                 Lines arguments) const {
        const std::string path = scratch_.file(disc);
        for (std::string& argument : arguments) {
            if (const std::size_t at = argument.find("DRIVE"); at != std::string::npos) {
                argument.replace(at, 5, path);
            }
        }
        ToolRun::Options options;
        options.program = program;
        options.environment = {"LD_PRELOAD=" EMBERLIN_PRELOAD_FIRST EMBERLIN_EMULATOR,
                               "EMBERLIN_EMULATED_DRIVE=sim:" + path + "?" + parameters};
        return runTool(arguments, options).lines;
    }

    Lines xorriso(const std::string& disc, const std::string& parameters,
                  const Lines& commands) const {
        Lines arguments = {"-outdev", "mmc:DRIVE"};
        arguments.insert(arguments.end(), commands.begin(), commands.end());
        return client(EMBERLIN_XORRISO, disc, parameters, arguments);
    }

    ScratchDirectory scratch_;
};

TEST_P(EmulatedDisc, ClientsSeeEachStateAsTheIdDescribesIt) {
    const MediumCase& medium = GetParam();
    Lines states = {"blank", "appendable", "full"};
    if (medium.arrivesUnformatted) {
        states.push_back("unformatted");
    }
    for (const std::string& state : states) {
        SCOPED_TRACE(state);
        const std::string parameters = "medium=" + medium.id + "&state=" + state + size;
        const Lines x = xorriso(state, parameters, {"-toc", "-list_formats"});
        const Lines c = client(EMBERLIN_CDRSKIN, state, parameters, {"dev=DRIVE", "-atip", "-toc"});
        const std::string status = after(x, "Media status : ");
        const std::string summary = after(c, "Media summary: ");
        const Blocks blocks = blocksOf(x);
        const std::vector<Session> sessions = xorrisoSessions(x);
        EXPECT_EQ(after(x, "Media current: "), medium.profile);
        EXPECT_TRUE(summary.ends_with(" " + medium.profile)) << summary;

        if (state == "blank" || state == "unformatted") {
            EXPECT_TRUE(status.starts_with("is blank")) << status;
            EXPECT_EQ(summary, "0 sessions, 0 tracks, blank " + medium.profile);
            EXPECT_EQ(blocks.readable, 0);
            EXPECT_EQ(blocks.writable, blocks.overall);
            EXPECT_EQ(blocks.overall, medium.overwritable ? blocks.overall : capacity);
            EXPECT_LE(blocks.overall, capacity);
        }
        if (medium.overwritable && state != "unformatted") {
            // Formatted to the drive's default: the capacity less any spare area.
            EXPECT_EQ(after(x, "Format status: "), "formatted, with " + mebibytes(blocks.overall));
        }
        if (state == "unformatted") {
            EXPECT_EQ(after(x, "Format status: "), "unformatted, up to " + mebibytes(capacity));
        }
        if (state == "appendable" || state == "full") {
            // Overwritable discs hold one volume, which xorriso reads as a session;
            // libburn itself calls them blank whatever they hold.
            const bool closed = state == "full" && !medium.overwritable;
            EXPECT_TRUE(status.starts_with(closed ? "is written , is closed"
                                                  : "is written , is appendable"))
                << status;
            ASSERT_EQ(sessions.size(), medium.overwritable ? 1u : 2u);
            for (std::size_t i = 0; i < sessions.size(); ++i) {
                EXPECT_EQ(sessions[i].volume, "EMBERLIN_SESSION_" + std::to_string(i + 1));
            }
            if (medium.overwritable) {
                EXPECT_EQ(summary, "0 sessions, 0 tracks, blank " + medium.profile);
            } else {
                EXPECT_EQ(summary, "2 sessions, 2 tracks, " +
                                       std::string(closed ? "closed " : "appendable ") +
                                       medium.profile);
                // Both clients find the sessions at the same places.
                const std::vector<long> tracks = cdrskinTracks(c);
                ASSERT_EQ(tracks.size(), 2u);
                EXPECT_EQ(tracks[0], sessions[0].start);
                EXPECT_EQ(tracks[1], sessions[1].start);
            }
        }
        if (state == "appendable") {
            // What the earlier sessions left of the whole disc.
            EXPECT_EQ(blocks.overall, medium.overwritable ? blocks.overall : capacity);
            EXPECT_GT(blocks.writable, 0);
            EXPECT_LE(blocks.writable, capacity - used);
        }
        if (state == "appendable" && medium.id.starts_with("cd")) {
            // After a CD's second session come a 0:30 lead-out, a 1:00
            // lead-in and a 0:02 pregap (Orange Book).
            const std::vector<long> leadOuts = cdrskinTracks(c, true);
            ASSERT_EQ(leadOuts.size(), 2u);
            EXPECT_EQ(after(x, "Media nwa    : "), std::to_string(leadOuts[1] + 6900) + "s");
        }
        if (state == "full") {
            EXPECT_EQ(blocks.writable, 0);
        }
    }
}

TEST_P(EmulatedDisc, XorrisoBlanksFormatsWritesAndReadsBack) {
    const MediumCase& medium = GetParam();
    const std::string state = medium.arrivesUnformatted ? "unformatted"
                              : medium.rewritable       ? "full"
                                                        : "appendable";
    const std::string parameters = "medium=" + medium.id + "&state=" + state + size;
    std::filesystem::create_directory(scratch_.file("data"));
    const std::vector<char> data = writeTestImage(scratch_.file("data/file.bin"), 1234567);
    const std::size_t before = xorrisoSessions(xorriso("disc", parameters, {"-toc"})).size();

    if (medium.rewritable) {
        const Lines blanked = xorriso("disc", parameters, {"-blank", "as_needed", "-toc"});
        EXPECT_TRUE(after(blanked, "Media status : ").starts_with("is blank"));
    }
    xorriso("disc", parameters, {"-format", "as_needed"});
    const Lines written = client(EMBERLIN_XORRISO, "disc", parameters,
                                 {"-dev", "mmc:DRIVE", "-map", scratch_.file("data"), "/data",
                                  "-close", medium.id == "dvd-r-dl" ? "on" : "off", "-commit"});
    EXPECT_NE(std::find(written.begin(), written.end(),
                        "Writing to 'mmc:" + scratch_.file("disc") + "' completed successfully."),
              written.end());

    const Lines restored = client(
        EMBERLIN_XORRISO, "disc", parameters,
        {"-osirrox", "on", "-indev", "mmc:DRIVE", "-extract", "/data", scratch_.file("out")});
    EXPECT_EQ(readWholeFile(scratch_.file("out/file.bin")), data);
    const Lines toc = xorriso("disc", parameters, {"-toc", "-list_formats"});
    EXPECT_TRUE(after(toc, "Media status : ").starts_with("is written")) << after(toc, "Media");
    if (medium.arrivesUnformatted) {
        // Formatted by -format, or as a DVD+RW is, by writing.
        EXPECT_TRUE(after(toc, "Format status: ").starts_with("formatted"));
    }
    if (!medium.overwritable && !medium.rewritable) {
        EXPECT_EQ(xorrisoSessions(toc).size(), before + 1) << "one more session";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMedium, EmulatedDisc, testing::ValuesIn(everyMedium),
                         [](const testing::TestParamInfo<MediumCase>& info) {
                             std::string name = info.param.id;
                             std::replace(name.begin(), name.end(), '-', '_');
                             std::replace(name.begin(), name.end(), '+', 'P');
                             return name;
                         });

class EmulatedDrive : public EmulatedDisc {};

TEST_F(EmulatedDrive, WithoutADiscBothClientsFindNone) {
    const Lines x = xorriso("empty", "state=empty", {"-toc"});
    EXPECT_EQ(after(x, "Media status : "), "is not present");
    const Lines c = client(EMBERLIN_CDRSKIN, "empty", "state=empty", {"dev=DRIVE", "-atip"});
    EXPECT_TRUE(after(c, "cdrskin: status ").starts_with("2 BURN_DISC_EMPTY"));
}

// What each parameter of an id makes of the drive, as a client reads it:
// xorriso logs every command's sense data and libburn's messages, cdrskin
// lists the drive's features, the disc-image tool says what the user may do.
TEST_F(EmulatedDrive, EachParameterReachesAClient) {
    struct Case {
        std::string parameters; // DATA: the test file's path
        std::string program;
        Lines arguments; // DRIVE: the drive's file, DATA the test file, OUT a file written
        Lines words;     // consecutive lines of the output hold these
    };
    const Lines commit = {"-scsi_log", "on",   "-dev",  "mmc:DRIVE",
                          "-map",      "DATA", "/data", "-commit"};
    const Lines compare = {"-dev",    "mmc:DRIVE",  "-map", "DATA", "/data",
                           "-commit", "-compare_r", "DATA", "/data"};
    const Lines reloaded = {"-dev",       "mmc:DRIVE", "-map", "DATA",   "/data",
                            "-commit",    "-eject",    "all",  "-indev", "mmc:DRIVE",
                            "-compare_r", "DATA",      "/data"};
    const auto check = [](const std::string& from, const std::string& to,
                          const std::string& copy = "") {
        Lines arguments = {"-indev",          "mmc:DRIVE",     "-check_media",
                           "min_lba=" + from, "max_lba=" + to, "--"};
        if (!copy.empty()) {
            arguments.insert(arguments.end() - 1, copy);
        }
        return arguments;
    };
    const std::string xorriso = EMBERLIN_XORRISO;
    const std::string cdrskin = EMBERLIN_CDRSKIN;
    const Lines features = {"dev=DRIVE", "--list_features"};
    const std::string appendable = "state=appendable&capacity=100M&used=16M";
    const std::vector<Case> cases = {
        {"no-medium-for=1000polls", xorriso, commit, {"+++ key=2  asc=3Ah  ascq=01h"}},
        {"unready=20polls", xorriso, commit, {"+++ key=2  asc=04h  ascq=01h"}},
        {"fail-at-sector=100", xorriso, commit, {"[3 0C 00] Medium error. Write error."}},
        {"lost-at=100", xorriso, commit, {"Failed to transfer command to drive"}},
        // A block that cannot be read fails as a scratched one does; one a
        // sequential disc did not record (here the border between two
        // sessions) is out of range.
        {"medium=dvd-r&unreadable=100-103&" + appendable,
         xorriso,
         check("64", "200"),
         {"read_10(96,32): [3 11 00] Medium error. Unrecovered read error."}},
        {"medium=dvd-r&sessions=2&" + appendable,
         xorriso,
         check("4096", "4100"),
         {"read_10(4096,5): [5 21 00] Illegal request. Lba out of range."}},
        // Never written blocks of a formatted disc read as zeros (xorriso
        // calls a blank one blank only when its start does, see above).
        {"medium=bd-re&" + appendable,
         xorriso,
         check("1000", "1031"),
         {"Media region :       1000 ,         32 , + good"}},
        // The disc holds the file: on a sequential disc as its first track,
        // on an overwritable one from its start (OUT is compared with DATA).
        {"medium=cd-r&state=appendable&contents=DATA",
         xorriso,
         check("0", "602", "data_to=OUT"),
         {"Media region :          0 ,        603 , + good"}},
        {"medium=dvd+rw&contents=DATA",
         xorriso,
         check("0", "602", "data_to=OUT"),
         {"Media region :          0 ,        603 , + good"}},
        // What was just written is read back from the drive's buffer, until
        // the disc is loaded again; the disc itself holds a wrong sector.
        {"medium=dvd+rw&bad-sector=100&cache", xorriso, compare, {"Both file objects match"}},
        {"medium=dvd+rw&bad-sector=100&cache", xorriso, reloaded, {"Differences detected."}},
        {"medium=dvd+rw&bad-sector=100", xorriso, compare, {"Differences detected."}},
        {"medium=bd-r&pow", cdrskin, features, {"0038 + : BD-R POW : 0,N"}},
        {"medium=bd-r&pow", xorriso, commit, {"May not write to Pseudo Overwrite formatted BD-R"}},
        // The Load bit of a tray the drive pulls in, and of one pushed by hand.
        {"tray=motorised", cdrskin, features, {"0003 + : Removable Medium : 2,P", "39 00 00 00"}},
        {"tray=manual", cdrskin, features, {"0003 + : Removable Medium : 2,P", "29 00 00 00"}},
        {"denied",
         EMBERLIN_DISCTOOL,
         {"burn", "DATA", "-device", "sim:DRIVE?denied"},
         {"You may not use DRIVE: it belongs to the group \"cdrom\"."}},
    };
    std::filesystem::create_directory(scratch_.file("data"));
    const std::string data = scratch_.file("data/file.bin");
    const std::vector<char> bytes = writeTestImage(data, 1234567);
    int number = 0;
    for (Case row : cases) {
        SCOPED_TRACE(row.parameters + " " + row.arguments.back());
        const std::string disc = "disc" + std::to_string(++number);
        const std::string out = scratch_.file(disc + ".out");
        const auto place = [&](std::string& text) {
            for (const auto& [name, value] : {std::pair<std::string, std::string>{"DATA", data},
                                              {"OUT", out},
                                              {"DRIVE", scratch_.file(disc)}}) {
                for (std::size_t at; (at = text.find(name)) != std::string::npos;) {
                    text.replace(at, name.size(), value);
                }
            }
        };
        place(row.parameters);
        for (std::string& text : row.words) {
            place(text);
        }
        for (std::string& text : row.arguments) {
            place(text);
        }
        const Lines lines = client(row.program, disc, row.parameters, row.arguments);
        const auto holds = [&](std::size_t first) {
            for (std::size_t i = 0; i < row.words.size(); ++i) {
                if (first + i >= lines.size() ||
                    lines[first + i].find(row.words[i]) == std::string::npos) {
                    return false;
                }
            }
            return true;
        };
        bool found = false;
        for (std::size_t first = 0; first < lines.size() && !found; ++first) {
            found = holds(first);
        }
        EXPECT_TRUE(found) << row.words.front();
        if (std::filesystem::exists(out)) {
            const std::vector<char> read = readWholeFile(out);
            EXPECT_TRUE(read.size() >= bytes.size() &&
                        std::equal(bytes.begin(), bytes.end(), read.begin()));
        }
    }
}

} // namespace
