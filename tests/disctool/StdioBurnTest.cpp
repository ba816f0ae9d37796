// SPDX-License-Identifier: GPL-3.0-or-later
// Real libburn writes to a file-backed drive, read back and compared.
#include "tests/disctool/TranscriptChecker.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::vector<char> earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};

TEST(StdioBurn, TheFileHoldsTheImageForOddSizesPaddedToWholeSectors) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{2047}, std::size_t{2048},
                                   std::size_t{2049}, std::size_t{1024 * 1024 + 3}}) {
        ScratchDirectory scratch;
        const std::vector<char> image = writeTestImage(scratch.file("image.iso"), size);
        const std::string target = scratch.file("disc.iso");
        // A longer file from an earlier burn must not survive behind the image.
        std::ofstream(target) << std::string(3 * 1024 * 1024, '\xff');

        const ToolResult result = runTool(puppetBurn(scratch.file("image.iso"), "stdio:" + target));
        EXPECT_EQ(result.status, 0) << size;
        EXPECT_EQ(checkTranscript(result.lines), "") << size;
        EXPECT_EQ(result.lines.back(), "Burn completed successfully");
        EXPECT_EQ(checkFacts(result.lines, image), "") << size;
        EXPECT_EQ(lastFact(result.lines, "medium"), "") << "a file is no disc";

        const std::vector<char> written = readWholeFile(target);
        const std::size_t sectors = (size + 2047) / 2048;
        ASSERT_EQ(written.size(), sectors * 2048) << size;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), written.begin())) << size;
        EXPECT_TRUE(std::all_of(written.begin() + static_cast<std::ptrdiff_t>(size), written.end(),
                                [](char byte) { return byte == 0; }))
            << size;
    }
}

TEST(StdioBurn, PeopleAtATerminalGetSentencesNotMachineLines) {
    ScratchDirectory scratch;
    writeTestImage(scratch.file("image.iso"), 100000);
    const ToolResult result = runTool(
        {"burn", scratch.file("image.iso"), "-device", "stdio:" + scratch.file("disc.iso")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.lines.back(), "Burn completed successfully.");
    EXPECT_THAT(result.lines, testing::Not(testing::Contains(testing::StartsWith("PERCENT:"))));
}

// As cp keeps it: the file or emulated disc an image is burned to gives no
// one more access than the image did, within the umask.
TEST(StdioBurn, APrivateImageStaysPrivate) {
    struct Case {
        std::string device; // "stdio:" or "sim:", the target's path follows
        mode_t image;
        mode_t earlier; // of a file already at the target; 0: none
        mode_t expected;
    };
    const std::vector<Case> cases = {
        {"stdio:", 0600, 0, 0600}, {"stdio:", 0600, 0644, 0600}, {"stdio:", 0640, 0664, 0640},
        {"stdio:", 0644, 0, 0644}, {"sim:", 0600, 0, 0600},
    };
    const mode_t umask = ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device + " " + std::to_string(c.image) + " " + std::to_string(c.earlier));
        ScratchDirectory scratch;
        const std::string image = scratch.file("image.iso");
        writeTestImage(image, 100000);
        ::chmod(image.c_str(), c.image);
        const std::string target = scratch.file("disc.iso");
        if (c.earlier != 0) {
            std::ofstream{target};
            ::chmod(target.c_str(), c.earlier);
        }
        EXPECT_EQ(runTool(puppetBurn(image, c.device + target)).status, 0);
        struct stat written {};
        ASSERT_EQ(::stat(target.c_str(), &written), 0);
        EXPECT_EQ(written.st_mode & 0777, c.expected);
    }
    ::umask(umask);
}

TEST(StdioBurn, ATargetWithoutRoomFailsAtOnceAndKeepsTheEarlierFile) {
    // A file cannot be ejected for another: the burn ends, instead of asking
    // for more room again and again. The room is what the tool may write.
    ScratchDirectory scratch;
    writeTestImage(scratch.file("image.iso"), 5 * 1024 * 1024);
    std::ofstream(scratch.file("disc.iso")) << "earlier";
    const ToolResult result =
        runTool(puppetBurn(scratch.file("image.iso"), "stdio:" + scratch.file("disc.iso")),
                {.fileSizeLimit = 1024 * 1024});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines,
              std::vector<std::string>{"burn failed - Not enough room for the image: it needs "
                                       "5242880 bytes, the target has room for 1048576"});
    EXPECT_EQ(readWholeFile(scratch.file("disc.iso")), earlier);
}

TEST(StdioBurn, ACancelledBurnLeavesTheEarlierFileAndNothingElse) {
    ScratchDirectory scratch;
    writeTestImage(scratch.file("image.iso"), 1024 * 1024);
    std::ofstream(scratch.file("disc.iso")) << "earlier";
    // The target's room is the file size limit, which the test sets.
    const std::string preparing =
        "FACT:capacity=67108864 image-bytes=1048576\nPreparing data for burn\n";
    // The tool stalls on the line after this one until the test reads: the
    // cancel comes while it prepares or writes, never after it is done.
    ToolRun run(puppetBurn(scratch.file("image.iso"), "stdio:" + scratch.file("disc.iso")),
                {.fileSizeLimit = 64 * 1024 * 1024, .outputRoom = preparing.size() + 1});
    ASSERT_TRUE(run.waitUntilWritten(preparing.size()));
    run.sendSignal(SIGTERM);
    EXPECT_EQ(run.finish(), 128 + SIGTERM);
    EXPECT_EQ(run.lines().back(), "burn failed - Canceled by SIGTERM");
    EXPECT_EQ(readWholeFile(scratch.file("disc.iso")), earlier);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 2);
}

// In a shared folder only a file's owner may replace it: the image is written
// and verified beside the target, which then cannot take its name. Nothing
// read back is reported for bytes that are not where the user asked.
TEST(StdioBurn, ABurnThatCouldNotReplaceItsTargetReportsNothingReadBack) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs root to leave a file of another user in a shared folder";
    }
    ScratchDirectory scratch;
    ::chmod(scratch.path().c_str(), 01777);
    writeTestImage(scratch.file("image.iso"), 100000);
    std::ofstream(scratch.file("disc.iso")) << "earlier";
    ::chmod(scratch.file("disc.iso").c_str(), 0666);
    const ToolResult result =
        runTool(puppetBurn(scratch.file("image.iso"), "stdio:" + scratch.file("disc.iso")),
                {.asNobody = true});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.lines.back().starts_with("burn failed - Cannot replace "))
        << result.lines.back();
    EXPECT_THAT(result.lines, testing::Contains("Verifying burn"));
    EXPECT_EQ(lastFact(result.lines, "readback-sha256"), "");
    EXPECT_EQ(readWholeFile(scratch.file("disc.iso")), earlier);
}

// A link is followed to the file it names, as "cp" does; never to a file
// that does not exist, nor when another user made it.
TEST(StdioBurn, ALinkIsFollowedOnlyToAFileAndOnlyWhenTheUserMadeIt) {
    struct Case {
        std::string name;
        bool linkedFileExists;
        uid_t linkOwner;
        std::string failure; // after the target's path; empty: burned
    };
    const std::vector<Case> cases = {
        {"the user's link to a file", true, ::getuid(), ""},
        {"a link to a file that does not exist", false, ::getuid(),
         " is a link to a file that does not exist: name the file itself"},
        {"another user's link", true, ::getuid() + 1,
         " is a link that another user made: name the file itself"},
    };
    for (const Case& c : cases) {
        if (c.linkOwner != ::getuid() && ::getuid() != 0) {
            continue; // only root can give a link away
        }
        ScratchDirectory scratch;
        const std::vector<char> image = writeTestImage(scratch.file("image.iso"), 4096);
        const std::string linked = scratch.file("linked.iso");
        const std::string link = scratch.file("disc.iso");
        if (c.linkedFileExists) {
            std::ofstream(linked) << "earlier";
        }
        std::filesystem::create_symlink(linked, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, static_cast<gid_t>(-1)), 0) << c.name;

        const ToolResult result = runTool(puppetBurn(scratch.file("image.iso"), "stdio:" + link));
        EXPECT_EQ(result.lines.back(), c.failure.empty() ? "Burn completed successfully"
                                                         : "burn failed - The target" + c.failure)
            << c.name;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << c.name;
        EXPECT_EQ(std::filesystem::exists(linked), c.linkedFileExists) << c.name;
        if (c.linkedFileExists) {
            const std::vector<char> held = readWholeFile(linked);
            EXPECT_EQ(held, c.failure.empty() ? image : earlier) << c.name;
        }
    }
}

} // namespace
