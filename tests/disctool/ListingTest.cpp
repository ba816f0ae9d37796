// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Listing.h"

#include "disctool/VirtualBurners.h"
#include "tests/support/ScratchDirectory.h"

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace disctool;

namespace fs = std::filesystem;

constexpr const char* sataPath = "pci0000:00/0000:00:17.0/ata3/host2/target2:0:0/2:0:0:0";
constexpr const char* usbPath =
    "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
constexpr const char* scsiPath = "pci0000:00/0000:00:10.0/host0/target0:0:1/0:0:1:0";

// A sysfs and /dev tree as the kernel lays it out for SCSI CD-ROM devices.
class FakeSystem {
public:
    fs::path sys() const { return scratch_.path() / "sys"; }
    fs::path dev() const { return scratch_.path() / "dev"; }

    struct Drive {
        std::string name;
        std::string busPath;
        std::string vendor;
        std::string model;
        std::string type = "5";
        bool node = true;
    };

    void add(const Drive& drive) {
        const fs::path scsiDevice = sys() / "devices" / drive.busPath;
        const fs::path block = scsiDevice / "block" / drive.name;
        fs::create_directories(block);
        write(scsiDevice / "vendor", drive.vendor + "\n");
        write(scsiDevice / "model", drive.model + "\n");
        write(scsiDevice / "type", drive.type + "\n");
        fs::create_directory_symlink("../..", block / "device");
        fs::create_directories(sys() / "class" / "block");
        fs::create_directory_symlink(fs::path("../../devices") / drive.busPath / "block" /
                                         drive.name,
                                     sys() / "class" / "block" / drive.name);
        if (drive.node) {
            fs::create_directories(dev());
            write(dev() / drive.name, "");
            ::chmod((dev() / drive.name).c_str(), 0660);
        }
    }

    std::vector<ListedBurner> list() const {
        return Listing(sys().string(), dev().string()).opticalDrives();
    }

private:
    static void write(const fs::path& path, const std::string& text) {
        std::ofstream(path) << text;
    }

    ScratchDirectory scratch_;
};

TEST(Listing, NamesEachOpticalDriveWithItsBusInKernelOrder) {
    FakeSystem system;
    system.add({"sr10", scsiPath, "PLEXTOR ", "DVDR   PX-891SAF ", "5"});
    system.add({"sr1", usbPath, "ASUS", "SDRW-08D2S-U", "5"});
    system.add({"sr0", sataPath, "HL-DT-ST", "DVDRAM GH24NSD1 ", "5"});
    system.add(
        {"sr2", "pci0000:00/0000:00:1f.2/ata5/host4/target4:0:0/4:0:0:0", "ATA", "Disk", "0"});
    system.add({"sr3", "pci0000:00/0000:00:1f.2/ata6/host5/target5:0:0/5:0:0:0", "GONE", "Drive",
                "5", false});
    system.add({"sr4", "virtual/host7/target7:0:0/7:0:0:0", "", "", "5"});
    system.add({"sr5", "virtual/host8/target8:0:0/8:0:0:0", "no CD/DVD", "drives present", "5"});

    const std::vector<ListedBurner> drives = system.list();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"HL-DT-ST DVDRAM GH24NSD1 via SATA", "sr0"},
        {"ASUS SDRW-08D2S-U via USB", "sr1"},
        {"sr4 via SCSI", "sr4"},
        {"sr5 via SCSI", "sr5"},
        {"PLEXTOR DVDR   PX-891SAF via SCSI", "sr10"},
    };
    ASSERT_EQ(drives.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(drives[i].name, expected[i].first);
        EXPECT_EQ(drives[i].device, (system.dev() / expected[i].second).string());
    }
}

TEST(Listing, NoDrivesWithoutSrDevices) {
    FakeSystem system;
    EXPECT_TRUE(system.list().empty());
}

TEST(Listing, TransportFollowsTheBus) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("/devices/") + sataPath, "SATA"},
        {std::string("/devices/") + usbPath, "USB"},
        {std::string("/devices/") + scsiPath, "SCSI"},
        {"/devices/pci0000:00/0000:00:1c.0/0000:03:00.0/fw1/fw1.0/host8/target8:0:0", "FireWire"},
        {"/devices/pci0000:00/0000:00:05.0/virtio2/host0/target0:0:0/0:0:0:0", "VirtIO"},
    };
    for (const auto& [path, transport] : cases) {
        EXPECT_EQ(Listing::transportOf(path), transport) << path;
    }
}

// Run as root, a test cannot be refused anything: the listing runs in a child
// that has given up root first.
TEST(Listing, ADriveTheUserMayNotOpenIsMarkedNotDropped) {
    FakeSystem system;
    system.add({"sr0", sataPath, "HL-DT-ST", "DVDRAM GH24NSD1", "5"});
    // Root-owned and closed to others when run as root; closed to its owner otherwise.
    ::chmod((system.dev() / "sr0").c_str(), ::getuid() == 0 ? 0660 : 0000);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        const std::vector<ListedBurner> drives = system.list();
        const bool marked = drives.size() == 1 &&
                            drives[0].name == "HL-DT-ST DVDRAM GH24NSD1 (no permission) via SATA";
        ::_exit(marked ? 0 : 4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) {
        GTEST_SKIP() << "cannot drop root privileges to user nobody here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "not listed as one drive marked \"no permission\"";
}

TEST(VirtualBurners, ListsEachConfiguredIdAsANameAndDevicePair) {
    const std::vector<ListedBurner> burners =
        virtualBurners(" sim:/tmp/a.img?medium=dvd-rw&state=full "
                       ";stdio:/tmp/out.iso\n\n;sim:/tmp/b.img?medium=tape;"
                       "sim:/tmp/c.img?medium=bd-r&denied;/dev/sr0;");
    ASSERT_EQ(burners.size(), 5u);
    EXPECT_EQ(burners[0].name, "Simulated DVD-RW burner 1 via simulation");
    EXPECT_EQ(burners[0].device, "sim:/tmp/a.img?medium=dvd-rw&state=full");
    EXPECT_EQ(burners[1].name, "Image-file burner 2 via libburn stdio");
    EXPECT_EQ(burners[1].device, "stdio:/tmp/out.iso");
    EXPECT_EQ(burners[2].name,
              "Simulated burner 3 (unusable: invalid value \"tape\" for medium) via simulation");
    EXPECT_EQ(burners[3].name, "Simulated BD-R burner 4 (no permission) via simulation");
    EXPECT_EQ(burners[4].device, "/dev/sr0");
    for (const ListedBurner& burner : burners) {
        EXPECT_NE(burner.name.find(" via "), std::string::npos) << burner.name;
    }
    EXPECT_TRUE(virtualBurners("").empty());
    EXPECT_TRUE(virtualBurners(" ; \n").empty());
}

} // namespace
