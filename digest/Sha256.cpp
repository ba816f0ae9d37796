// SPDX-License-Identifier: GPL-3.0-or-later
#include "digest/Sha256.h"

#include <array>
#include <openssl/evp.h>

namespace digest {

void Sha256::ContextFree::operator()(EVP_MD_CTX* context) const {
    EVP_MD_CTX_free(context);
}

Sha256::Sha256()
    : context_(EVP_MD_CTX_new()) {
    failed_ = !context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1;
}

void Sha256::add(std::span<const std::byte> bytes) {
    failed_ = failed_ || EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1;
}

std::string Sha256::hexDigest() const {
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
