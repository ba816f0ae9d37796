// The start of an overwritable disc, any bytes: it counts as blank only when
// it is all zero or carries a blanking tool's mark, and a single byte of
// anything on an otherwise empty disc is data, never written over.
#include "disctool/DiscContent.h"
#include "disctool/IsoVolume.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstring>

using disctool::DiscContent;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto at = input.ConsumeIntegralInRange<size_t>(0, disctool::discStartBytes - 1);
    const auto value = input.ConsumeIntegralInRange<uint8_t>(1, 255);
    std::vector<std::byte> start(disctool::discStartBytes);
    start[at] = std::byte{value};
    check(disctool::holdsData(disctool::classifyDiscStart(start)),
          "one byte on an empty disc is data");

    const std::vector<uint8_t> bytes = input.ConsumeRemainingBytes<uint8_t>();
    std::transform(bytes.begin(), bytes.begin() + std::min(bytes.size(), start.size()),
                   start.begin(), [](uint8_t b) { return std::byte{b}; });
    const DiscContent content = disctool::classifyDiscStart(start);
    const auto first = disctool::IsoVolume::firstDescriptorByte;
    const bool allZero =
        std::all_of(start.begin(), start.end(), [](std::byte b) { return b == std::byte{0}; });
    const bool marked = std::memcmp(start.data() + first + 1, "CDXX1", 5) == 0;
    check(content != DiscContent::Blank || allZero || marked,
          "only zeros or a blanking tool's mark are blank");
    check(content != DiscContent::Unexamined && content != DiscContent::Unreadable,
          "64 KiB read are always judged");
    check(disctool::classifyDiscStart(std::span(start).first(start.size() - 1)) ==
              DiscContent::Unreadable,
          "a short read is a doubt");
    // The image's own descriptors, whatever they hold, give a volume or none.
    disctool::IsoVolume::fromDescriptors(
        std::span(start).subspan(first, disctool::IsoVolume::descriptorBytes));
    return 0;
}
