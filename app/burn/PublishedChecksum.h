#pragma once

#include <QString>
#include <optional>

namespace emberlin {

// An image's SHA-256 as a checksum file publishes it.
struct PublishedChecksum {
    QString sha256; // lower-case hex
    // The entry stood in an OpenPGP clear-signed message, whose signature
    // nobody checked.
    bool clearSigned = false;
};

// The SHA-256 that a checksum file's text gives for the image of this name:
// coreutils lines ("HASH  NAME", "HASH *NAME", escaped names starting with a
// backslash), BSD lines ("SHA256 (NAME) = HASH"), also inside a clear-signed
// message. A file made for this one image (IMAGE.sha256) may hold the hash
// alone. Nothing when the text names the image nowhere.
std::optional<PublishedChecksum> publishedSha256(const QString& text, const QString& imageName,
                                                 bool fileIsForThisImage);

} // namespace emberlin
