// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <openssl/types.h>
#include <span>
#include <string>

namespace disctool {

// A running SHA-256 (OpenSSL's libcrypto) over bytes that may arrive on
// another thread than the one that asks for the digest.
class Sha256 {
public:
    Sha256();

    void add(std::span<const std::byte> bytes);
    std::int64_t bytesAdded() const;
    // Lower-case hex of what was added so far; empty if libcrypto failed.
    std::string hexDigest() const;

private:
    struct ContextFree {
        void operator()(EVP_MD_CTX* context) const;
    };

    mutable std::mutex mutex_;
    std::unique_ptr<EVP_MD_CTX, ContextFree> context_;
    std::int64_t bytes_ = 0;
    bool failed_ = false;
};

} // namespace disctool
