// Emulated drives fed command blocks of any bytes and any length, each with
// room for any reply and any data from the host, on a clock the input steps.
// Nothing is read past what the host handed over (the sanitizers watch),
// no more is sent back than the host has room for, and a block shorter than
// its group's length, or of a group no drive of ours knows, is refused as an
// illegal request before anything is done with it.
#include "emulator/Drive.h"
#include "emulator/DriveConfig.h"
#include "emulator/Opcode.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/support/SteppedClock.h"

#include <filesystem>
#include <unistd.h>

namespace {

// Discs of every kind of state, small enough to be made anew for each input.
constexpr const char* discs[] = {
    "medium=cd-rw&state=full&capacity=2M",
    "medium=cd-r&state=appendable&capacity=4M&used=1M&sessions=2",
    "medium=dvd-r&capacity=4M",
    "medium=dvd+rw&state=unformatted&capacity=4M",
    "medium=dvd-ram&state=unformatted&capacity=4M&erase-time=3s",
    "medium=bd-r&state=appendable&capacity=4M&used=1M&sessions=2",
    "medium=bd-re&state=full&capacity=4M&cache",
    "medium=dvd-rw,cd-r&state=full,blank&capacity=4M&insert-after=200ms&rate=4x",
    "state=empty",
};

// A folder of its own for the discs, gone when the fuzzer ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string name = std::filesystem::temp_directory_path() / "drive-commands-XXXXXX";
        check(::mkdtemp(name.data()) != nullptr, "a folder for the discs");
        path_ = name;
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

const std::filesystem::path& folder() {
    static const ScratchFolder made;
    return made.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::filesystem::remove_all(folder() / "disc");
    std::filesystem::create_directory(folder() / "disc");
    std::string problem;
    const auto config = emulator::DriveConfig::parse(
        "sim:" + (folder() / "disc" / "d").string() + "?" + input.PickValueInArray(discs), problem);
    check(config.has_value(), "each drive of the table is one");
    SteppedClock clock;
    emulator::Drive drive(*config, clock);
    while (input.remaining_bytes() > 0) {
        clock.advance(std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 5000)));
        // Exactly as many bytes as the host says, so that a read past them is seen.
        const std::vector<std::uint8_t> cdb =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 16));
        if (cdb.empty()) {
            break;
        }
        const auto roomBytes = input.ConsumeIntegralInRange<std::size_t>(0, 8 * 2048);
        std::vector<std::uint8_t> room(roomBytes);
        const std::vector<std::uint8_t> fromHost(input.ConsumeIntegralInRange<std::size_t>(0, 4) *
                                                 2048);
        const emulator::Reply reply = drive.execute(cdb, room, fromHost);
        check(reply.transferred <= room.size(), "no more sent than the host has room for");
        const std::optional<std::size_t> length = emulator::commandLength(cdb[0]);
        if (!length || cdb.size() < *length) {
            check(reply.sense && reply.sense->key == emulator::sense::illegalRequest &&
                      reply.transferred == 0,
                  "a block not as long as its group says is refused");
        }
    }
    return 0;
}
