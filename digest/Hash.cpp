// SPDX-License-Identifier: GPL-3.0-or-later
#include "digest/Hash.h"

#include <array>
#include <openssl/evp.h>

namespace digest {

void Hash::ContextFree::operator()(EVP_MD_CTX* context) const {
    EVP_MD_CTX_free(context);
}

Hash::Hash(Algorithm algorithm)
    : context_(EVP_MD_CTX_new()) {
    const EVP_MD* type = algorithm == Algorithm::Sha512 ? EVP_sha512() : EVP_sha256();
    failed_ = !context_ || EVP_DigestInit_ex(context_.get(), type, nullptr) != 1;
}

void Hash::add(std::span<const std::byte> bytes) {
    failed_ = failed_ || EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1;
}

std::string Hash::hexDigest() const {
    if (failed_) {
        return {};
    }
    // Finish a copy, so that more bytes may still be added.
    const std::unique_ptr<EVP_MD_CTX, ContextFree> copy(EVP_MD_CTX_new());
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (!copy || EVP_MD_CTX_copy_ex(copy.get(), context_.get()) != 1 ||
        EVP_DigestFinal_ex(copy.get(), digest.data(), &length) != 1) {
        return {};
    }
    constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 0x0f];
    }
    return text;
}

} // namespace digest
