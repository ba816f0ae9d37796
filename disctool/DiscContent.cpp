// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/DiscContent.h"

#include <array>
#include <string_view>
#include <utility>

namespace disctool {

namespace {

// People's names for what libblkid names most often on discs.
std::string kindOf(const std::string& type) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 14> known = {{
        {"iso9660", "an ISO 9660 file system"},
        {"udf", "a UDF file system"},
        {"hfsplus", "an HFS+ volume"},
        {"hfs", "an HFS volume"},
        {"vfat", "a FAT file system"},
        {"exfat", "an exFAT file system"},
        {"ntfs", "an NTFS file system"},
        {"ext2", "an ext2/3/4 file system"},
        {"ext3", "an ext2/3/4 file system"},
        {"ext4", "an ext2/3/4 file system"},
        {"btrfs", "a btrfs file system"},
        {"reiserfs", "a ReiserFS file system"},
        {"dos", "a partition table"},
        {"gpt", "a partition table"},
    }};
    for (const auto& [name, words] : known) {
        if (name == type) {
            return std::string(words);
        }
    }
    return "a volume of the kind \"" + type + "\"";
}

} // namespace

std::string DiscContent::describe() const {
    switch (verdict) {
    case Verdict::Unexamined:
    case Verdict::Blank:
        return "nothing";
    case Verdict::Unreadable:
        return "sectors that cannot be read, which may hold data";
    case Verdict::Data:
        break;
    }
    if (type.empty()) {
        return "data of an unknown kind";
    }
    std::string words = kindOf(type);
    if (!label.empty()) {
        words += " named \"" + label + "\"";
    }
    return words;
}

} // namespace disctool
