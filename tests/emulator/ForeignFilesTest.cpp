// SPDX-License-Identifier: GPL-3.0-or-later
// An emulated drive keeps its discs in files that may lie in a folder other
// users write to. What another user plants there (a link, a file, a state
// file) never decides where the user's data goes, a file of the user's own
// that holds data is left alone unless the state beside it describes it, and
// a folder the drive cannot write in is named with the real reason: each
// through the disc-image tool, the other user played by nobody.
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Commands, as words separated by spaces, each ending at ";".
struct Case {
    std::string what;
    std::string usersOwn; // the user runs these first
    std::string planted;  // the other user runs these then
    std::string id;
    std::string says; // a line of the tool's output holds this
    bool toolAsOtherUser = false;
};

TEST(ForeignFiles, NoOtherUserDecidesWhereTheDiscsGo) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "playing another user takes root, as CI has";
    }
    const std::string burn = "medium=cd-r,cd-r&state=full,blank";
    const std::vector<Case> cases = {
        {"a link at the second disc's file", "", "/bin/ln -s PRECIOUS SHARED/disc.2",
         "sim:SHARED/disc?" + burn, "SHARED/disc.2 is a symbolic link"},
        {"a link at the first disc's file", "", "/bin/ln -s PRECIOUS SHARED/disc",
         "sim:SHARED/disc?" + burn, "SHARED/disc is a symbolic link"},
        {"a link at the command log", "", "/bin/ln -s PRECIOUS SHARED/log",
         "sim:SHARED/disc?log=SHARED/log", "SHARED/log is a symbolic link"},
        {"a named pipe at the state file", "", "/usr/bin/mkfifo SHARED/disc.state",
         "sim:SHARED/disc", "SHARED/disc.state is no state an emulated drive left"},
        {"a link at the contents", "", "/bin/ln -s PRECIOUS SHARED/contents",
         "sim:SHARED/disc?medium=dvd+rw&state=full&contents=SHARED/contents",
         "SHARED/contents is another user's symbolic link"},
        {"another user's file at the second disc's file", "", "/bin/touch SHARED/disc.2",
         "sim:SHARED/disc?" + burn, "SHARED/disc.2 belongs to another user"},
        {"another user's state beside the user's own file", "/bin/cp PRECIOUS SHARED/disc",
         "/bin/cp PRECIOUS SHARED/disc.state", "sim:SHARED/disc",
         "SHARED/disc.state is no state an emulated drive left (it is not a file of this user's "
         "own)"},
        {"the state of another drive beside the user's own file",
         EMBERLIN_DISCTOOL
         " burn IMAGE -noverifyburn -device sim:SHARED/other; "
         "/bin/cp PRECIOUS SHARED/disc; /bin/cp SHARED/other.state SHARED/disc.state",
         "", "sim:SHARED/disc", "SHARED/disc holds data but no emulated disc"},
        {"a folder the user may not write in", "", "", "sim:CLOSED/disc",
         "Cannot create CLOSED/disc: Permission denied", true},
    };
    const ScratchDirectory scratch;
    const std::string precious = scratch.file("precious");
    const std::vector<char> bytes = writeTestImage(precious, 5000);
    writeTestImage(scratch.file("image.iso"), 100000);
    std::filesystem::create_directory(scratch.file("closed"));
    int number = 0;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        const std::string shared = scratch.file("shared" + std::to_string(++number));
        std::filesystem::create_directory(shared);
        ::chmod(shared.c_str(), 01777); // as /tmp
        const auto expanded = [&](std::string text) {
            for (const auto& [name, value] : {std::pair<std::string, std::string>{"SHARED", shared},
                                              {"PRECIOUS", precious},
                                              {"IMAGE", scratch.file("image.iso")},
                                              {"CLOSED", scratch.file("closed")}}) {
                for (std::size_t at; (at = text.find(name)) != std::string::npos;) {
                    text.replace(at, name.size(), value);
                }
            }
            return text;
        };
        const auto run = [&](const Lines& command, bool asOtherUser) {
            Lines arguments;
            std::transform(command.begin() + 1, command.end(), std::back_inserter(arguments),
                           expanded);
            return runTool(arguments, {.asNobody = asOtherUser, .program = command.front()});
        };
        for (const bool asOtherUser : {false, true}) {
            std::istringstream commands(asOtherUser ? row.planted : row.usersOwn);
            for (std::string command; std::getline(commands, command, ';');) {
                ASSERT_EQ(run(splitWords(command), asOtherUser).status, 0) << command;
            }
        }
        const ToolResult burned =
            run({EMBERLIN_DISCTOOL, "burn", "IMAGE", "-noverifyburn", "-device", expanded(row.id)},
                row.toolAsOtherUser);
        EXPECT_EQ(burned.status, 1);
        EXPECT_THAT(burned.lines, testing::Contains(testing::HasSubstr(expanded(row.says))));
        // Whatever is wrong with one burner, the others are still listed.
        const ToolResult listed = runTool(
            {"burn", "-list"}, {.environment = {"EMBERLIN_VIRTUAL_BURNERS=" + expanded(row.id) +
                                                ";stdio:" + shared + "/target"}});
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(
            std::count(listed.lines.begin(), listed.lines.end(), "stdio:" + shared + "/target"), 1);
        EXPECT_EQ(readWholeFile(precious), bytes) << "the user's file is as it was";
        if (std::filesystem::is_regular_file(shared + "/disc") && !row.usersOwn.empty()) {
            EXPECT_EQ(readWholeFile(shared + "/disc"), bytes) << "so is the user's copy";
        }
    }
}

// Another user who may read the user's disc file locks it: that does not make
// the emulated drive busy, as the emulator itself judges. A lock of the user's
// own program still does.
TEST(ForeignFiles, OnlyTheUsersOwnProgramsMakeAnEmulatedDriveBusy) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "playing another user takes root, as CI has";
    }
    const ScratchDirectory scratch;
    const std::string image = scratch.file("image.iso");
    writeTestImage(image, 100000);
    const std::string shared = scratch.file("shared");
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    const std::string disc = shared + "/disc";
    std::ofstream{disc};
    ::chmod(disc.c_str(), 0644);
    // A shared lock over the whole file, as fcntl(2) takes it, held until killed.
    const std::string holdLock =
        "use Fcntl; open(my $f, '<', $ARGV[0]) or die $!;"
        "my $l = pack('s s x4 q q i x4', F_RDLCK, 0, 0, 0, 0); fcntl($f, F_SETLK, $l) or die $!;"
        "$| = 1; print \"locked\\n\"; select(undef, undef, undef, undef);";
    for (const bool otherUser : {true, false}) {
        SCOPED_TRACE(otherUser ? "another user's lock" : "the user's own lock");
        ToolRun lock({"-e", holdLock, disc}, {.asNobody = otherUser, .program = "/usr/bin/perl"});
        ASSERT_TRUE(lock.waitForLine("locked"));
        const ToolResult burned = runTool({"burn", image, "-noverifyburn", "-puppetstrings",
                                           "-device", "sim:" + disc + "?medium=dvd+rw"});
        ASSERT_FALSE(burned.lines.empty());
        EXPECT_EQ(burned.lines.back(), otherUser
                                           ? "Burn completed successfully"
                                           : "The device is being used by another application");
    }
}

} // namespace
