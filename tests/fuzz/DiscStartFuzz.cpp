// The bytes read from an overwritable disc, any bytes: it counts as blank
// only when they are all zero or carry a blanking tool's mark, and a single
// byte of anything on an otherwise empty disc is data, never written over.
#include "disctool/ContentJudge.h"
#include "disctool/IsoVolume.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstring>

using disctool::DiscContent;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr std::int64_t discBytes = 8 * 1024 * 1024;
    FuzzedDataProvider input(data, size);
    const auto at = input.ConsumeIntegralInRange<size_t>(0, disctool::discStartBytes - 1);
    const auto value = input.ConsumeIntegralInRange<uint8_t>(1, 255);
    std::vector<std::byte> start(disctool::discStartBytes);
    const std::vector<std::byte> end(disctool::discEndBytes);
    start[at] = std::byte{value};
    check(disctool::judgeDiscContent(start, end, discBytes).holdsData(),
          "one byte on an empty disc is data");

    const std::vector<uint8_t> bytes = input.ConsumeRemainingBytes<uint8_t>();
    std::transform(bytes.begin(), bytes.begin() + std::min(bytes.size(), start.size()),
                   start.begin(), [](uint8_t b) { return std::byte{b}; });
    const DiscContent content = disctool::judgeDiscContent(start, end, discBytes);
    const auto first = disctool::IsoVolume::firstDescriptorByte;
    const bool allZero =
        std::all_of(start.begin(), start.end(), [](std::byte b) { return b == std::byte{0}; });
    const bool marked = std::memcmp(start.data() + first, "\1CDXX1\1", 7) == 0;
    check(content.verdict != DiscContent::Verdict::Blank || allZero || marked,
          "only zeros or a blanking tool's mark are blank");
    check(content.verdict == DiscContent::Verdict::Blank ||
              content.verdict == DiscContent::Verdict::Data,
          "what was read is always judged");
    check(disctool::judgeDiscContent(std::span(start).first(start.size() - 1), end, discBytes)
                  .verdict == DiscContent::Verdict::Unreadable,
          "a short read is a doubt");
    // The image's own descriptors, whatever they hold, give a volume or none.
    disctool::IsoVolume::fromDescriptors(
        std::span(start).subspan(first, disctool::IsoVolume::descriptorBytes));
    return 0;
}
