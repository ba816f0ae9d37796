// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/CutUdif.h"

#include "disctool/PositionedIo.h"
#include "disctool/image/UdifLimits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace disctool {

namespace {

bool namedDmg(const std::string& path) {
    constexpr std::string_view extension = ".dmg";
    return path.size() >= extension.size() &&
           std::equal(extension.rbegin(), extension.rend(), path.rbegin(),
                      [](char wanted, char got) { return wanted == std::tolower(got); });
}

std::vector<std::byte> bytesAt(const ImageFile& file, std::int64_t offset, std::int64_t most) {
    std::vector<std::byte> bytes(static_cast<std::size_t>(std::min(most, file.size() - offset)));
    return readFully(file.descriptor(), bytes, offset) ? bytes : std::vector<std::byte>();
}

std::string_view textOf(std::span<const std::byte> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A zlib stream that inflates without error as far as `bytes` go.
bool startsZlibStream(std::span<const std::byte> bytes) {
    if (bytes.size() < 2 || bytes[0] != std::byte{0x78}) {
        return false;
    }
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return false;
    }
    std::array<Bytef, 64 * 1024> out{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    int result = Z_OK;
    while (result == Z_OK && stream.avail_in > 0) {
        stream.next_out = out.data();
        stream.avail_out = out.size();
        result = inflate(&stream, Z_NO_FLUSH);
    }
    inflateEnd(&stream);
    return result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR;
}

} // namespace

bool looksLikeCutUdif(const std::string& path, const ImageFile& file) {
    if (!namedDmg(path)) {
        return false;
    }
    // A plain image holds whole sectors; a download cut off almost never
    // ends on one.
    if (file.size() % udifSectorBytes != 0) {
        return true;
    }
    // The property list's tags, base64 and block tables (`mish`, and it in base64).
    constexpr std::array<std::string_view, 8> propertyListMarks{
        "<?xml", "<plist", "</plist>", "<key>", "<data>", "</data>", "mish", "bWlza"};
    constexpr std::int64_t endBytes = 512;
    const std::vector<std::byte> end =
        bytesAt(file, std::max<std::int64_t>(0, file.size() - endBytes), endBytes);
    if (std::ranges::any_of(propertyListMarks, [&](std::string_view mark) {
            return textOf(end).find(mark) != std::string_view::npos;
        })) {
        return true;
    }
    // A bzip2 stream's first block, an xz stream, a zlib stream.
    constexpr std::string_view xzMagic("\xfd"
                                       "7zXZ",
                                       6); // with its closing zero
    const std::vector<std::byte> start = bytesAt(file, 0, 4096);
    const std::string_view head = textOf(start);
    return (head.size() >= 10 && head.starts_with("BZh") && head.substr(4, 6) == "1AY&SY") ||
           head.starts_with(xzMagic) || startsZlibStream(start);
}

} // namespace disctool
