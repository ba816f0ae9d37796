// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <openssl/types.h>
#include <span>
#include <string>

namespace digest {

enum class Algorithm { Sha256, Sha512 };

// A running SHA-256 or SHA-512 with OpenSSL's libcrypto (the processor's SHA
// instructions where it has them): the one wrapper of it that the app and the
// disc-image tool share.
class Hash {
public:
    explicit Hash(Algorithm algorithm);

    // A failure of libcrypto is kept, and leaves the digest empty.
    void add(std::span<const std::byte> bytes);
    // Lower-case hex of what was added so far (more may still be added);
    // empty if libcrypto failed.
    std::string hexDigest() const;

private:
    struct ContextFree {
        void operator()(EVP_MD_CTX* context) const;
    };

    std::unique_ptr<EVP_MD_CTX, ContextFree> context_;
    bool failed_ = false;
};

} // namespace digest
