// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MountTable.h"

#include "tests/support/ScratchDirectory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace disctool;

TEST(MountTable, FindsTheMountsOfADeviceAlsoThroughALinkTheirNamesUnescaped) {
    ScratchDirectory scratch;
    const std::string device = scratch.file("sr0");
    std::ofstream(device).put('\0');
    std::filesystem::create_symlink(device, scratch.file("cdrom"));
    const std::string table = scratch.file("mounts");
    std::ofstream(table) << "proc /proc proc rw 0 0\n"
                         << "/dev/vda1 / ext4 rw 0 0\n"
                         << device << " /media/ann/My\\040Disc iso9660 ro 0 0\n"
                         << "server:/export /mnt/nfs nfs rw 0 0\n"
                         << device << " /mnt/tab\\011and\\134backslash udf ro 0 0\n";

    const MountTable mounts(table);
    const std::vector<std::string> expected{"/media/ann/My Disc", "/mnt/tab\tand\\backslash"};
    EXPECT_EQ(mounts.mountPointsOf(device), expected);
    EXPECT_EQ(mounts.mountPointsOf(scratch.file("cdrom")), expected);
    EXPECT_TRUE(mounts.mountPointsOf(scratch.file("sr1")).empty());
}

} // namespace
