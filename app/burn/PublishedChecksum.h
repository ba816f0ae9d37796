#pragma once

#include <QString>
#include <optional>

namespace emberlin {

// An image's digest as a checksum file publishes it.
struct PublishedChecksum {
    enum class Algorithm { Sha256, Sha512 };
    Algorithm algorithm = Algorithm::Sha256;
    QString digest; // lower-case hex
    // The entry stood in an OpenPGP clear-signed message, whose signature
    // nobody checked.
    bool clearSigned = false;

    // "SHA-256", "SHA-512": as the window and the receipt name it.
    QString algorithmName() const;
};

// The digest that a checksum file's text gives for the image of this name:
// coreutils lines ("HASH  NAME", "HASH *NAME", escaped names starting with a
// backslash), BSD lines ("SHA256 (NAME) = HASH", "SHA512 (NAME) = HASH"),
// also inside a clear-signed message; SHA-256 or SHA-512, told by the hash's
// length, and SHA-512 where the text gives both. A file made for this one
// image (IMAGE.sha256) may hold the hash alone. Nothing when the text names
// the image nowhere.
std::optional<PublishedChecksum> publishedChecksum(const QString& text, const QString& imageName,
                                                   bool fileIsForThisImage);

} // namespace emberlin
