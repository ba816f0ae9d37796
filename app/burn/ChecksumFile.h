#pragma once

#include "app/burn/PublishedChecksum.h"

#include <QString>
#include <optional>

namespace emberlin {

// A checksum file beside an image that names it.
struct ChecksumFile {
    QString fileName; // "SHA256SUMS"
    PublishedChecksum published;
};

// Looks beside the image for IMAGE.sha512, IMAGE.sha512sum, IMAGE.sha256,
// IMAGE.sha256sum, SHA512SUMS, SHA256SUMS, sha256sums.txt, CHECKSUM and
// RELEASE-CHECKSUM, in that order, and takes the first that names the image. Only
// regular files of the user or of root are read, never through a link, with
// no other hard link and writable by no one else, and only up to a size no
// checksum list reaches: another user's file in a shared folder decides
// nothing.
std::optional<ChecksumFile> findChecksumFile(const QString& imagePath);

} // namespace emberlin
