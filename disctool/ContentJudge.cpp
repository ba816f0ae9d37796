// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/ContentJudge.h"

#include "media/MediumFacts.h"
#include "posix/FileDescriptor.h"

#include <algorithm>
#include <blkid/blkid.h>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace disctool {

namespace {

constexpr auto sectorBytes = static_cast<std::size_t>(media::sectorBytes);
// ISO 9660 and UDF keep their volume descriptors in sectors 16 to 31.
constexpr std::size_t firstDescriptor = 16 * sectorBytes;
constexpr std::size_t descriptorsEnd = 32 * sectorBytes;

using Probe = std::unique_ptr<blkid_struct_probe, decltype(&blkid_free_probe)>;

bool allZero(std::span<const std::byte> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; });
}

bool has(std::span<const std::byte> bytes, std::size_t at, std::string_view text) {
    return at + text.size() <= bytes.size() &&
           std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, std::byte b) { return static_cast<std::byte>(c) == b; });
}

// What libisoburn's blank of an overwritable disc leaves when nothing else
// is there: the primary volume descriptor named "CDXX1", perhaps more
// descriptors named so behind it, and zeros everywhere else.
bool onlyZerosOrTheBlankingMark(std::span<const std::byte> start) {
    if (start.size() < descriptorsEnd || !has(start, firstDescriptor, "\1CDXX1\1")) {
        return allZero(start);
    }
    for (std::size_t at = firstDescriptor + sectorBytes; at < descriptorsEnd; at += sectorBytes) {
        const std::span<const std::byte> sector = start.subspan(at, sectorBytes);
        if (!allZero(sector) && !has(sector, 1, "CDXX1\1")) {
            return false;
        }
    }
    return allZero(start.first(firstDescriptor)) && allZero(start.subspan(descriptorsEnd));
}

// A name from the disc, fit to stand in a line of text.
std::string printable(const char* value) {
    std::string text(value, ::strnlen(value, 64));
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c < ' ' || c > '~' || c == '"'; }, '?');
    return text;
}

std::string valueOf(blkid_probe probe, const char* name) {
    const char* value = nullptr;
    return blkid_probe_lookup_value(probe, name, &value, nullptr) == 0 && value != nullptr
               ? printable(value)
               : std::string();
}

// The bytes read, each at its place on a file as large as the disc; what was
// not read reads as zeros (the file is sparse).
posix::FileDescriptor discFile(std::span<const std::byte> start, std::span<const std::byte> end,
                               std::int64_t discBytes) {
    posix::FileDescriptor file(::memfd_create("emberlin-disc", MFD_CLOEXEC));
    if (!file || ::ftruncate(file.get(), discBytes) != 0 ||
        ::pwrite(file.get(), start.data(), start.size(), 0) != static_cast<ssize_t>(start.size()) ||
        ::pwrite(file.get(), end.data(), end.size(),
                 discBytes - static_cast<std::int64_t>(end.size())) !=
            static_cast<ssize_t>(end.size())) {
        return {};
    }
    return file;
}

// What libblkid recognises with blocks of `blockBytes` (partition tables are
// laid out in them): nullopt when nothing.
std::optional<DiscContent> recognise(int fd, std::int64_t discBytes, unsigned blockBytes) {
    DiscContent data;
    data.verdict = DiscContent::Verdict::Data;
    const Probe probe(blkid_new_probe(), &blkid_free_probe);
    if (!probe || blkid_probe_set_device(probe.get(), fd, 0, discBytes) != 0 ||
        blkid_probe_set_sectorsize(probe.get(), blockBytes) != 0) {
        return data;
    }
    blkid_probe_enable_superblocks(probe.get(), 1);
    // A superblock whose checksum fails is still someone's file system.
    blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_TYPE | BLKID_SUBLKS_LABEL |
                                                       BLKID_SUBLKS_BADCSUM);
    blkid_probe_enable_partitions(probe.get(), 1);
    // A GPT is a GPT even without its protective MBR, or with only its backup.
    blkid_probe_set_partitions_flags(probe.get(), BLKID_PARTS_FORCE_GPT);
    const int found = blkid_do_safeprobe(probe.get());
    if (found == 1) {
        return std::nullopt;
    }
    // 0: found; -2: more than one claims the disc; -1: the probe failed.
    if (found == 0) {
        data.type = valueOf(probe.get(), "TYPE");
        if (data.type.empty()) {
            data.type = valueOf(probe.get(), "PTTYPE");
        }
        data.label = valueOf(probe.get(), "LABEL");
    }
    return data;
}

} // namespace

DiscContent judgeDiscContent(std::span<const std::byte> start, std::span<const std::byte> end,
                             std::int64_t discBytes) {
    DiscContent content;
    const auto whole = [&](std::size_t limit) {
        return static_cast<std::size_t>(std::min<std::int64_t>(discBytes, limit));
    };
    if (discBytes <= 0 || start.size() != whole(discStartBytes) ||
        end.size() != whole(discEndBytes)) {
        content.verdict = DiscContent::Verdict::Unreadable;
        return content;
    }
    const posix::FileDescriptor file = discFile(start, end, discBytes);
    content.verdict = DiscContent::Verdict::Data;
    if (!file) {
        return content;
    }
    for (const unsigned blockBytes : {512u, static_cast<unsigned>(sectorBytes)}) {
        if (std::optional<DiscContent> recognised = recognise(file.get(), discBytes, blockBytes)) {
            return *recognised;
        }
    }
    // On a small disc the end read overlaps the start.
    const auto endFrom = discBytes - static_cast<std::int64_t>(end.size());
    const auto overlap = static_cast<std::size_t>(
        std::max<std::int64_t>(0, static_cast<std::int64_t>(start.size()) - endFrom));
    if (onlyZerosOrTheBlankingMark(start) && allZero(end.subspan(overlap))) {
        content.verdict = DiscContent::Verdict::Blank;
    }
    return content;
}

} // namespace disctool
