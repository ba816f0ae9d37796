// A mounts table of any lines around one real mount, its fields escaped as the
// kernel escapes them: that mount point is found, whatever bytes its name holds.
#include "FuzzCheck.h"
#include "MountTable.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The kernel writes blanks, tabs, line ends and backslashes of a field in octal.
std::string escaped(const std::string& field) {
    std::string result;
    for (const char c : field) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const auto byte = static_cast<unsigned char>(c);
            result += {'\\', char('0' + byte / 64), char('0' + byte / 8 % 8), char('0' + byte % 8)};
        } else {
            result += c;
        }
    }
    return result;
}

// A device whose name needs escaping, and a table in memory.
struct Scene {
    Scene() {
        char folder[] = "/tmp/emberlin-fuzz-XXXXXX";
        device = std::string(::mkdtemp(folder)) + "/cd rom\tdrive";
        ::close(::open(device.c_str(), O_CREAT | O_WRONLY, 0600));
    }
    std::string device;
    int table = ::memfd_create("mounts", 0);
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Scene scene;
    FuzzedDataProvider input(data, size);
    std::string mountPoint = '/' + input.ConsumeRandomLengthString();
    std::replace(mountPoint.begin(), mountPoint.end(), '\0', '_');
    const std::string before = input.ConsumeRandomLengthString();
    const std::string table = before + '\n' + escaped(scene.device) + ' ' + escaped(mountPoint) +
                              " iso9660 ro,nosuid 0 0\n" + input.ConsumeRemainingBytesAsString();
    check(::ftruncate(scene.table, 0) == 0 &&
              ::pwrite(scene.table, table.data(), table.size(), 0) == ssize_t(table.size()),
          "the table is written");
    const std::vector<std::string> found =
        disctool::MountTable("/proc/self/fd/" + std::to_string(scene.table))
            .mountPointsOf(scene.device);
    check(std::find(found.begin(), found.end(), mountPoint) != found.end(),
          "the mount point is found");
    return 0;
}
