// SPDX-License-Identifier: GPL-3.0-or-later
// Built into the tool in sanitizer builds only.
// A burn to an emulated drive starts the tool again with the emulator
// preloaded, that is ahead of the address sanitizer's runtime, which the
// runtime would otherwise refuse.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() {
    return "verify_asan_link_order=0:print_suppressions=0";
}

// libburn keeps a little memory of a drive that vanished in mid-command.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libburn.so\n";
}
