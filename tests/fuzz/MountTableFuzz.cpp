// A mounts table of any lines around one mount, its fields escaped as the
// kernel escapes them: that mount point is found, whatever bytes its name holds.
#include "disctool/MountTable.h"
#include "tests/fuzz/FuzzCheck.h"

#include <climits>
#include <sys/mman.h>
#include <unistd.h>

// The kernel writes blanks, tabs, line ends and backslashes of a field in octal.
static std::string escaped(const std::string& field) {
    std::string result;
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            result += {'\\', char('0' + byte / 64), char('0' + byte / 8 % 8), char('0' + byte % 8)};
        else
            result += c;
    }
    return result;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The table is a file in memory, and also the device that the mount is of.
    static const int table = ::memfd_create("mounts", 0);
    static const std::string device = "/proc/self/fd/" + std::to_string(table);
    FuzzedDataProvider input(data, size);
    // A path holds no NUL and is shorter than PATH_MAX; nor does the kernel
    // write a NUL anywhere else in the table.
    const auto withoutNul = [](std::string bytes) {
        std::replace(bytes.begin(), bytes.end(), '\0', '_');
        return bytes;
    };
    const std::string mountPoint = withoutNul('/' + input.ConsumeRandomLengthString(PATH_MAX - 2));
    const std::string text = withoutNul(input.ConsumeRandomLengthString()) + '\n' + device + ' ' +
                             escaped(mountPoint) + " iso9660 ro,nosuid 0 0\n" +
                             withoutNul(input.ConsumeRemainingBytesAsString());
    check(::ftruncate(table, 0) == 0 &&
              ::pwrite(table, text.data(), text.size(), 0) == ssize_t(text.size()),
          "the table is written");
    const std::vector<std::string> found = disctool::MountTable(device).mountPointsOf(device);
    check(std::find(found.begin(), found.end(), mountPoint) != found.end(),
          "the mount point is found");
    return 0;
}
