// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trigger.h"

#include <charconv>
#include <sys/stat.h>

namespace emulator {

namespace {

std::optional<std::uint64_t> leadingNumber(std::string_view text, std::string_view& unit) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    unit = text.substr(static_cast<std::size_t>(end - text.data()));
    return value;
}

} // namespace

std::optional<Trigger> Trigger::parse(std::string_view text) {
    if (text.starts_with('@') && text.size() > 1) {
        Trigger trigger(Kind::File);
        trigger.file_ = std::string(text.substr(1));
        return trigger;
    }
    std::string_view unit;
    const std::optional<std::uint64_t> value = leadingNumber(text, unit);
    if (!value) {
        return std::nullopt;
    }
    if (unit == "polls" || unit == "poll") {
        Trigger trigger(Kind::Polls);
        trigger.polls_ = *value;
        return trigger;
    }
    if (unit.empty() || unit == "ms") {
        return after(std::chrono::milliseconds(*value));
    }
    if (unit == "s") {
        return after(std::chrono::seconds(*value));
    }
    return std::nullopt;
}

Trigger Trigger::after(Clock::duration delay) {
    Trigger trigger(Kind::Delay);
    trigger.delay_ = delay;
    return trigger;
}

void Trigger::arm(const Moment& now) {
    start_ = now;
}

bool Trigger::fired(const Moment& now) const {
    switch (kind_) {
    case Kind::Never:
        return false;
    case Kind::Delay:
        return now.time - start_.time >= delay_;
    case Kind::Polls:
        return now.polls - start_.polls >= polls_;
    case Kind::File: {
        struct stat status {};
        return ::stat(file_.c_str(), &status) == 0;
    }
    }
    return false;
}

double Trigger::fraction(const Moment& now) const {
    if (fired(now)) {
        return 1.0;
    }
    if (kind_ == Kind::Delay) {
        return std::chrono::duration<double>(now.time - start_.time) /
               std::chrono::duration<double>(delay_);
    }
    if (kind_ == Kind::Polls) {
        return static_cast<double>(now.polls - start_.polls) / static_cast<double>(polls_);
    }
    return 0.0;
}

} // namespace emulator
