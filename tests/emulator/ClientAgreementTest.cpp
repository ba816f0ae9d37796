// SPDX-License-Identifier: GPL-3.0-or-later
// Every medium in every state, as clients nobody here wrote report it, run
// with the emulator preloaded: xorriso and cdrskin on libburn, and without
// libburn cdrkit's wodim and readom and dvd+rw-tools' dvd+rw-mediainfo,
// dvd+rw-format and growisofs. What they see must be what the device id
// describes and what the others see, and each must write and read back.
#include "tests/emulator/ClientReport.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct MediumCase {
    std::string id;
    int profile;
    bool overwritable; // written anywhere in a formatted area, no sessions of its own
    bool rewritable;
    bool arrivesUnformatted;

    bool cd() const { return id.starts_with("cd"); }
};

void PrintTo(const MediumCase& medium, std::ostream* out) {
    *out << medium.id;
}

const std::vector<MediumCase> everyMedium = {
    {"cd-r", 0x09, false, false, false},  {"cd-rw", 0x0A, false, true, false},
    {"dvd-r", 0x11, false, false, false}, {"dvd-r-dl", 0x15, false, false, false},
    {"dvd-rw", 0x14, false, true, false}, {"dvd-rw-ro", 0x13, true, true, false},
    {"dvd+r", 0x1B, false, false, false}, {"dvd+r-dl", 0x2B, false, false, false},
    {"dvd+rw", 0x1A, true, true, true},   {"dvd-ram", 0x12, true, true, true},
    {"bd-r", 0x41, false, false, false},  {"bd-re", 0x43, true, true, true},
};

constexpr uid_t nobody = 65534;

// Every disc here: 100 MiB, of which two earlier sessions take 16 MiB.
constexpr long capacity = 100 * 1024 * 1024 / 2048;
const std::string size = "&capacity=100M&used=16M&sessions=2";

// A client's command line, its words separated by spaces, with the names
// EmulatedDisc::expanded replaces.
struct Invocation {
    std::string program;
    std::string arguments;
    bool asNobody = false; // dvd+rw-tools unmount what they take for the drive: never as root
};

// The fields of a DiscReport, as bits.
constexpr unsigned Profile = 1;
constexpr unsigned Status = 2;
constexpr unsigned Tracks = 4;
constexpr unsigned LeadOut = 8;
constexpr unsigned NextWritable = 16;
constexpr unsigned FreeBlocks = 32;
constexpr unsigned Formatted = 64;

unsigned reported(const DiscReport& report) {
    return (report.profile != -1 ? Profile : 0) | (!report.status.empty() ? Status : 0) |
           (!report.trackStarts.empty() ? Tracks : 0) | (report.leadOut != -1 ? LeadOut : 0) |
           (report.nextWritable != -1 ? NextWritable : 0) |
           (report.freeBlocks != -1 ? FreeBlocks : 0) | (report.formatted >= 0 ? Formatted : 0);
}

// A disc's state as a client should see it.
struct Seen {
    const MediumCase& medium;
    std::string state;

    bool holdsData() const { return state == "appendable" || state == "full"; }
    bool sessions() const { return !medium.overwritable && holdsData(); }
    bool room() const { return !medium.overwritable && state != "full"; }
    bool formatted() const { return medium.overwritable && state != "unformatted"; }
};

struct Client {
    std::string name;
    std::vector<Invocation> runs;
    std::function<bool(const MediumCase&)> reads;
    DiscReport (*report)(const Lines&);
    // The fields it always prints for such a disc: one its report lacks
    // means the report's reader no longer understands the client.
    std::function<unsigned(const Seen&)> mustReport;
};

// What a client says when a reply of the drive makes no sense to it.
const Lines complaints = {"too short", "isn't sane", "insane", "inconsistency"};

const std::vector<Client>& clients() {
    static const std::vector<Client> all = {
        {"xorriso",
         {{EMBERLIN_XORRISO, "-outdev mmc:DRIVE -list_profiles out -toc -list_formats"}},
         [](const MediumCase&) { return true; },
         xorrisoReport,
         [](const Seen& disc) {
             // A blank disc's next writable address goes without saying.
             return Profile | Status | (disc.sessions() ? Tracks : 0) |
                    (disc.room() ? FreeBlocks : 0) |
                    (disc.state == "appendable" ? NextWritable : 0) |
                    (disc.formatted() ? Formatted : 0);
         }},
        {"cdrskin",
         {{EMBERLIN_CDRSKIN, "dev=DRIVE -atip -toc"}},
         [](const MediumCase&) { return true; },
         cdrskinReport,
         [](const Seen& disc) {
             return Status | (disc.sessions() ? Tracks | LeadOut : 0);
         }},
        // cdrkit leaves DVD and BD to dvd+rw-tools.
        {"wodim",
         {{EMBERLIN_WODIM, "-v dev=DRIVE -atip"},
          {EMBERLIN_WODIM, "dev=DRIVE -toc"},
          {EMBERLIN_WODIM, "dev=DRIVE -msinfo"}},
         [](const MediumCase& medium) { return medium.cd(); },
         wodimReport,
         [](const Seen& disc) {
             return Profile | (disc.sessions() ? Tracks | LeadOut : 0) |
                    (disc.state == "appendable" ? NextWritable | FreeBlocks : 0);
         }},
        {"dvd+rw-mediainfo",
         {{EMBERLIN_MEDIAINFO, "DRIVE"}},
         [](const MediumCase& medium) { return !medium.cd(); },
         mediainfoReport,
         [](const Seen& disc) {
             return Profile | Status | (disc.sessions() ? Tracks | LeadOut : 0) |
                    (disc.room() ? NextWritable | FreeBlocks : 0) |
                    (disc.formatted() ? Formatted : 0);
         }},
        // sg3-utils: the current profile from GET CONFIGURATION's header, and
        // READ CAPACITY, which on a formatted disc is what it was formatted to.
        {"sg3-utils",
         {{EMBERLIN_SG_GET_CONFIG, "-H -r 2 -s 0 DRIVE"},
          {EMBERLIN_SG_GET_CONFIG, "DRIVE"},
          {EMBERLIN_SG_READCAP, "DRIVE"}},
         [](const MediumCase&) { return true; },
         sg3Report,
         [](const Seen& disc) {
             return Profile | (disc.formatted() ? Formatted : 0);
         }},
    };
    return all;
}

class EmulatedDisc : public testing::TestWithParam<MediumCase> {
protected:
    // A client on the emulated drive of `parameters`. Each drive keeps what
    // was done to its disc, so runs with the same `disc` see the same disc.
    Lines client(const Invocation& run, const std::string& disc,
                 const std::string& parameters) const {
        Lines arguments = splitWords(run.arguments);
        for (std::string& argument : arguments) {
            argument = expanded(argument, disc);
        }
        // A client's own leaks are not the emulator's to answer for: the
        // sanitizer's runtime, where the emulator brings it, ignores them.
        return runTool(arguments,
                       {.environment = {"LD_PRELOAD=" EMBERLIN_PRELOAD_FIRST EMBERLIN_EMULATOR,
                                        "ASAN_OPTIONS=detect_leaks=0",
                                        "EMBERLIN_EMULATED_DRIVE=sim:" + scratch_.file(disc) + "?" +
                                            expanded(parameters, disc)},
                        .asNobody = run.asNobody,
                        .program = run.program})
            .lines;
    }

    // `text` with DRIVE standing for the drive's device, DATA for a folder
    // of test files, FILE for the file in it, IMAGE for an ISO image of it,
    // OUT for a file a client writes and THEIRS for nobody's folder.
    std::string expanded(const std::string& text, const std::string& disc) const {
        const std::vector<std::pair<std::string, std::string>> names = {
            {"DRIVE", disc},        {"DATA", "data"}, {"FILE", "data/file.bin"},
            {"IMAGE", "image.iso"}, {"OUT", "out"},   {"THEIRS", "theirs"}};
        std::string result;
        for (std::size_t at = 0; at < text.size();) {
            const auto name = std::find_if(names.begin(), names.end(), [&](const auto& pair) {
                return text.compare(at, pair.first.size(), pair.first) == 0;
            });
            result += name == names.end() ? text.substr(at, 1) : scratch_.file(name->second);
            at += name == names.end() ? 1 : name->first.size();
        }
        return result;
    }

    Lines xorriso(const std::string& disc, const std::string& parameters,
                  const std::string& commands) const {
        return client({EMBERLIN_XORRISO, "-outdev mmc:DRIVE " + commands}, disc, parameters);
    }

    ScratchDirectory scratch_;
};

TEST_P(EmulatedDisc, EveryClientSeesEachStateAsTheIdDescribesIt) {
    const MediumCase& medium = GetParam();
    Lines states = {"blank", "appendable", "full"};
    if (medium.arrivesUnformatted) {
        states.push_back("unformatted");
    }
    for (const std::string& state : states) {
        const std::string parameters = "medium=" + medium.id + "&state=" + state + size;
        const bool holdsData = state == "appendable" || state == "full";
        std::vector<std::pair<std::string, DiscReport>> reports;
        for (const Client& client : clients()) {
            if (!client.reads(medium)) {
                continue;
            }
            Lines output;
            for (const Invocation& run : client.runs) {
                const Lines lines = this->client(run, state, parameters);
                output.insert(output.end(), lines.begin(), lines.end());
            }
            SCOPED_TRACE(state + ", as " + client.name + " sees it");
            for (const std::string& complaint : complaints) {
                EXPECT_THAT(output, testing::Not(testing::Contains(testing::HasSubstr(complaint))));
            }
            // Every kind of BD the drive lists, it reads in some version.
            for (auto line = output.begin(); line + 1 < output.end(); ++line) {
                if (line->ends_with("read support:")) {
                    EXPECT_EQ(line[1].find("Class 0=0x0,"), std::string::npos) << *line;
                }
            }
            reports.emplace_back(client.name, client.report(output));
            const unsigned missing =
                client.mustReport(Seen{medium, state}) & ~reported(reports.back().second);
            EXPECT_EQ(missing, 0u) << "fields the report lacks (DiscReport's, in bits)";
        }
        const DiscReport& xorrisoSees = reports.front().second;
        for (const auto& [name, report] : reports) {
            SCOPED_TRACE(state + ", as " + name + " sees it");
            EXPECT_TRUE(report.profile == -1 || report.profile == medium.profile) << report.profile;
            if (medium.overwritable) {
                // libburn calls an overwritable disc blank whatever it holds; xorriso
                // looks for a volume at its start; the drive calls a formatted one
                // complete (DVD+RW, DVD-RW) or random access (DVD-RAM, BD-RE).
                const std::string formatted =
                    medium.id == "dvd-ram" || medium.id == "bd-re" ? "other" : "closed";
                const std::string status = name == "cdrskin" ? "blank"
                                           : name == "xorriso"
                                               ? (holdsData ? "appendable" : "blank")
                                           : state == "unformatted" ? "blank"
                                                                    : formatted;
                if (!report.status.empty()) {
                    EXPECT_EQ(report.status, status);
                }
                if (Seen{medium, state}.formatted() && report.formatted >= 0) {
                    EXPECT_NEAR(report.formatted, xorrisoSees.formatted, 0.05);
                }
                continue;
            }
            if (!report.status.empty()) {
                EXPECT_EQ(report.status, state == "full" ? "closed" : state);
            }
            // Both sessions where xorriso finds them, and the room after them.
            if (!holdsData || !report.trackStarts.empty()) {
                EXPECT_EQ(report.trackStarts.size(), holdsData ? 2u : 0u);
                EXPECT_EQ(report.trackStarts, xorrisoSees.trackStarts);
            }
            if (report.leadOut != -1) {
                EXPECT_EQ(report.leadOut, reports[1].second.leadOut) << "as cdrskin sees it";
            }
            // A blank disc is written from its start on.
            const long next = state == "blank" ? 0 : xorrisoSees.nextWritable;
            if (state != "full" && report.nextWritable != -1) {
                EXPECT_EQ(report.nextWritable, next);
            }
            if (state != "full" && report.freeBlocks != -1) {
                EXPECT_EQ(report.freeBlocks, capacity - next);
            }
        }
        if (state == "unformatted") {
            EXPECT_EQ(after(xorriso(state, parameters, "-list_formats"), "Format status:"),
                      "unformatted, up to 100.0 MiB");
        }
        if (state == "appendable" && medium.cd()) {
            // After a CD's second session come a 0:30 lead-out, a 1:00 lead-in
            // and a 0:02 pregap (Orange Book).
            EXPECT_EQ(xorrisoSees.nextWritable, reports[1].second.leadOut + 6900) << "cdrskin's";
        }
    }
}

// Each client that writes, on a disc of its own: blank or format as the
// medium needs, write a session, add one, and read back what it wrote.
TEST_P(EmulatedDisc, ClientsBlankFormatWriteAndReadBack) {
    const MediumCase& medium = GetParam();
    const std::string state = medium.arrivesUnformatted ? "unformatted"
                              : medium.rewritable       ? "full"
                                                        : "appendable";
    const std::string parameters = "medium=" + medium.id + "&state=" + state + size;
    std::filesystem::create_directory(scratch_.file("data"));
    const std::vector<char> data = writeTestImage(scratch_.file("data/file.bin"), 1234567);
    // A disc is used by the user who made it: "theirs" only by nobody.
    const auto readBack = [&](const std::string& disc, const std::string& on) {
        const bool theirs = disc.starts_with("theirs");
        std::filesystem::remove_all(scratch_.file(theirs ? "theirs/out" : "out"));
        client({EMBERLIN_XORRISO,
                "-osirrox on -indev mmc:DRIVE -extract /data " +
                    std::string(theirs ? "THEIRS/out" : "OUT"),
                theirs},
               disc, on);
        return readWholeFile(scratch_.file(theirs ? "theirs/out/file.bin" : "out/file.bin"));
    };
    const auto sessions = [&](const std::string& disc, const std::string& on) {
        return xorrisoReport(
                   client({EMBERLIN_XORRISO, "-indev mmc:DRIVE -toc", disc.starts_with("theirs")},
                          disc, on))
            .trackStarts.size();
    };

    const std::size_t before = sessions("xorriso", parameters);
    if (medium.rewritable) {
        EXPECT_EQ(xorrisoReport(xorriso("xorriso", parameters, "-blank as_needed -toc")).status,
                  "blank");
    }
    xorriso("xorriso", parameters, "-format as_needed");
    const Lines written = client(
        {EMBERLIN_XORRISO, "-dev mmc:DRIVE -map DATA /data -close " +
                               std::string(medium.id == "dvd-r-dl" ? "on" : "off") + " -commit"},
        "xorriso", parameters);
    EXPECT_NE(
        std::find(written.begin(), written.end(),
                  "Writing to 'mmc:" + scratch_.file("xorriso") + "' completed successfully."),
        written.end());
    const Lines toc = xorriso("xorriso", parameters, "-toc -list_formats");
    EXPECT_EQ(xorrisoReport(toc).status, medium.id == "dvd-r-dl" ? "closed" : "appendable");
    if (medium.arrivesUnformatted) {
        // Formatted by -format, or as a DVD+RW is, by writing.
        EXPECT_TRUE(after(toc, "Format status:").starts_with("formatted"));
    }
    if (!medium.overwritable && !medium.rewritable) {
        EXPECT_EQ(xorrisoReport(toc).trackStarts.size(), before + 1) << "one more session";
    }
    EXPECT_EQ(readBack("xorriso", parameters), data);

    // dvd+rw-format formats what comes unformatted and turns a DVD-RW into
    // restricted overwrite; growisofs writes a session and adds one (it
    // leaves a BD-R's session open, and refuses a DVD-R DL for an image that
    // fills less than half of it).
    if (!medium.cd() && medium.id != "dvd-r-dl") {
        // Their disc lies in a folder of the user they run as.
        std::filesystem::create_directory(scratch_.file("theirs"));
        if (::getuid() == 0) {
            ASSERT_EQ(::chown(scratch_.file("theirs").c_str(), nobody, nobody), 0);
        }
        const std::string disc = "theirs/disc";
        const bool restricted = medium.id == "dvd-rw-ro";
        const std::string grown = "medium=" + (restricted ? "dvd-rw" : medium.id) +
                                  (medium.arrivesUnformatted ? "&state=unformatted" : "") + size;
        if (medium.arrivesUnformatted || restricted) {
            client({EMBERLIN_FORMAT, "-force DRIVE", true}, disc, grown);
            const Lines formatted = client({EMBERLIN_MEDIAINFO, "DRIVE", true}, disc, grown);
            EXPECT_EQ(mediainfoReport(formatted).profile, medium.profile);
            EXPECT_TRUE(restricted || mediainfoReport(formatted).formatted > 0);
        }
        for (const std::string session : {"-Z", "-M"}) {
            if (session == "-Z" || medium.id != "bd-r") {
                client({EMBERLIN_GROWISOFS, session + " DRIVE -R -graft-points /data=DATA", true},
                       disc, grown);
            }
        }
        EXPECT_EQ(sessions(disc, grown), medium.overwritable || medium.id == "bd-r" ? 1u : 2u);
        EXPECT_EQ(readBack(disc, grown), data);
    }

    // wodim blanks a CD-RW and writes an image of the folder as a session,
    // then as another; readom reads each track back.
    if (medium.cd()) {
        ASSERT_EQ(runTool({"-quiet", "-R", "-o", scratch_.file("image.iso"), scratch_.file("data")},
                          {.program = EMBERLIN_GENISOIMAGE})
                      .status,
                  0);
        const std::vector<char> image = readWholeFile(scratch_.file("image.iso"));
        const std::string blank =
            "medium=" + medium.id + "&state=" + (medium.rewritable ? "full" : "blank") + size;
        if (medium.rewritable) {
            client({EMBERLIN_WODIM, "dev=DRIVE gracetime=0 blank=fast"}, "wodim", blank);
        }
        for (int session = 0; session < 2; ++session) {
            const long start =
                session == 0
                    ? 0
                    : wodimReport(client({EMBERLIN_WODIM, "dev=DRIVE -msinfo"}, "wodim", blank))
                          .nextWritable;
            client({EMBERLIN_WODIM, "dev=DRIVE gracetime=0 -tao -multi -data IMAGE"}, "wodim",
                   blank);
            const long end = start + static_cast<long>(image.size()) / 2048;
            std::filesystem::remove_all(scratch_.file("out"));
            client({EMBERLIN_READOM,
                    "dev=DRIVE f=OUT sectors=" + std::to_string(start) + "-" + std::to_string(end)},
                   "wodim", blank);
            EXPECT_EQ(readWholeFile(scratch_.file("out")), image) << "session " << session + 1;
        }
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

// What each parameter of an id makes of the drive, as a client reads it:
// without a disc, no client finds one; xorriso logs every command's sense
// data and libburn's messages, cdrskin lists the drive's features, the
// disc-image tool says what the user may do.
TEST_F(EmulatedDrive, EachParameterReachesAClient) {
    struct Case {
        std::string parameters;
        std::string program;
        std::string arguments; // separated by spaces
        std::string words;     // a line of the output holds these
        std::string next = {}; // and the line after it these
    };
    const std::string commit = "-scsi_log on -dev mmc:DRIVE -map FILE /data -commit";
    const std::string compare = "-dev mmc:DRIVE -map FILE /data -commit -compare_r FILE /data";
    const std::string reloaded = "-dev mmc:DRIVE -map FILE /data -commit -eject all "
                                 "-indev mmc:DRIVE -compare_r FILE /data";
    const std::string check = "-indev mmc:DRIVE -check_media ";
    const std::string xorriso = EMBERLIN_XORRISO;
    const std::string cdrskin = EMBERLIN_CDRSKIN;
    const std::string features = "dev=DRIVE --list_features";
    // READ DISC STRUCTURE, physical format information, 36 bytes.
    const std::string physicalFormat = "-r 36 DRIVE AD 00 00 00 00 00 00 00 00 24 00 00";
    const std::string appendable = "state=appendable&capacity=100M&used=16M";
    const std::string good = "Media region :          0 ,        603 , + good";
    const std::vector<Case> cases = {
        {"state=empty", xorriso, "-outdev mmc:DRIVE -toc", "Media status : is not present"},
        {"state=empty", cdrskin, "dev=DRIVE -atip", "cdrskin: status 2 BURN_DISC_EMPTY"},
        {"state=empty", EMBERLIN_WODIM, "dev=DRIVE -atip", "wodim: No disk / Wrong disk!"},
        {"state=empty", EMBERLIN_MEDIAINFO, "DRIVE", ":-( no media mounted, exiting..."},
        {"no-medium-for=1000polls", xorriso, commit, "+++ key=2  asc=3Ah  ascq=01h"},
        {"unready=20polls", xorriso, commit, "+++ key=2  asc=04h  ascq=01h"},
        {"fail-at-sector=100", xorriso, commit, "[3 0C 00] Medium error. Write error."},
        {"lost-at=100", xorriso, commit, "Failed to transfer command to drive"},
        // A block that cannot be read fails as a scratched one does; one a
        // sequential disc did not record (here the border between two
        // sessions) is out of range.
        {"medium=dvd-r&unreadable=100-103&" + appendable, xorriso,
         check + "min_lba=64 max_lba=200 --",
         "read_10(96,32): [3 11 00] Medium error. Unrecovered read error."},
        {"medium=dvd-r&sessions=2&" + appendable, xorriso, check + "min_lba=4096 max_lba=4100 --",
         "read_10(4096,5): [5 21 00] Illegal request. Lba out of range."},
        // Never written blocks of a formatted disc read as zeros (xorriso
        // calls a blank one blank only when its start does, see above).
        {"medium=bd-re&" + appendable, xorriso, check + "min_lba=1000 max_lba=1031 --",
         "Media region :       1000 ,         32 , + good"},
        // The disc holds the file: on a sequential disc as its first track,
        // on an overwritable one from its start (OUT is compared with FILE).
        {"medium=cd-r&state=appendable&contents=FILE", xorriso,
         check + "min_lba=0 max_lba=602 data_to=OUT --", good},
        {"medium=dvd+rw&contents=FILE", xorriso, check + "min_lba=0 max_lba=602 data_to=OUT --",
         good},
        // What was just written is read back from the drive's buffer, until
        // the disc is loaded again; the disc itself holds a wrong sector.
        {"medium=dvd+rw&bad-sector=100&cache", xorriso, compare, "Both file objects match"},
        {"medium=dvd+rw&bad-sector=100&cache", xorriso, reloaded, "Differences detected."},
        {"medium=dvd+rw&bad-sector=100", xorriso, compare, "Differences detected."},
        // Each DVD its own book type (a byte dvd+rw-mediainfo prints only
        // for a DVD-R or DVD-RW, from its second reading of the structure).
        {"medium=dvd-r&" + appendable, EMBERLIN_MEDIAINFO, "DRIVE",
         "READ DVD STRUCTURE[#0h]:", "Media Book Type:       25h, DVD-R book"},
        {"medium=dvd-rw&" + appendable, EMBERLIN_MEDIAINFO, "DRIVE",
         "READ DVD STRUCTURE[#0h]:", "Media Book Type:       35h, DVD-RW book"},
        {"medium=dvd+rw", EMBERLIN_SG_RAW, physicalFormat, " 00     08 02 00 00 95"},
        {"medium=dvd+r", EMBERLIN_SG_RAW, physicalFormat, " 00     08 02 00 00 a5"},
        {"medium=dvd+r-dl", EMBERLIN_SG_RAW, physicalFormat, " 00     08 02 00 00 e5"},
        {"medium=bd-r&pow", cdrskin, features, "0038 + : BD-R POW : 0,N"},
        {"medium=bd-r&pow", xorriso, commit, "May not write to Pseudo Overwrite formatted BD-R"},
        // The Load bit of a tray the drive pulls in, and of one pushed by hand.
        {"tray=motorised", cdrskin, features, "0003 + : Removable Medium : 2,P", "39 00 00 00"},
        {"tray=manual", cdrskin, features, "0003 + : Removable Medium : 2,P", "29 00 00 00"},
        {"denied", EMBERLIN_DISCTOOL, "burn FILE -device sim:DRIVE?denied",
         "You may not use DRIVE: it belongs to the group \"cdrom\"."},
    };
    std::filesystem::create_directory(scratch_.file("data"));
    const std::vector<char> bytes = writeTestImage(scratch_.file("data/file.bin"), 1234567);
    int number = 0;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.parameters + " " + row.arguments);
        const std::string disc = "disc" + std::to_string(++number);
        std::filesystem::remove(scratch_.file("out"));
        const Lines lines = client({row.program, row.arguments}, disc, row.parameters);
        const auto holds = [&](const std::string& line, const std::string& words) {
            return line.find(expanded(words, disc)) != std::string::npos;
        };
        const Lines words = row.next.empty() ? Lines{row.words} : Lines{row.words, row.next};
        EXPECT_TRUE(std::search(lines.begin(), lines.end(), words.begin(), words.end(), holds) !=
                    lines.end())
            << row.words;
        if (std::filesystem::exists(scratch_.file("out"))) {
            const std::vector<char> read = readWholeFile(scratch_.file("out"));
            EXPECT_TRUE(read.size() >= bytes.size() &&
                        std::equal(bytes.begin(), bytes.end(), read.begin()));
        }
    }
}

} // namespace
