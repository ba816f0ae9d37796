// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Writes to `path` a whole small disc holding `kind`, made by the tools that
// make it for real: "iso" (xorriso), "blanked-iso" (that volume after
// xorriso's -blank, its old tree still there), "udf" (genisoimage -udf),
// "ext" (mkfs.ext2), "btrfs" (mkfs.btrfs: its first 64 KiB zero), "reiserfs"
// (mkfs.reiserfs: its superblock at 64 KiB), "gpt" (sgdisk), "gpt-backup"
// (that table with only its backup header at the end). By hand: "zeros",
// "blanking-mark" (the invalidated descriptors of "blanked-iso" and nothing
// else), "zero-start" (64 KiB of zeros, then random bytes), "raw" (random).
// Throws when a tool fails.
void writeDiscFixture(const std::string& kind, const std::string& path);
