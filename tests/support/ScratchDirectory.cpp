// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ScratchDirectory.h"

#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <vector>

ScratchDirectory::ScratchDirectory() {
    std::string pattern = "/tmp/emberlin-disctool-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    ::chmod(pattern.c_str(), 0755);
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
