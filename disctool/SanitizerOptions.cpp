// SPDX-License-Identifier: GPL-3.0-or-later
// Built into the tool in sanitizer builds only. A burn to an emulated drive
// starts the tool again with the emulator preloaded, that is ahead of the
// address sanitizer's runtime, which the runtime would otherwise refuse.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() {
    return "verify_asan_link_order=0";
}
