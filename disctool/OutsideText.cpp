// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/OutsideText.h"

#include <algorithm>

namespace disctool::outside {

namespace {

// Control characters no sentence of the tool's own holds; the same in outside
// text become '?', so that it cannot end its mark early.
constexpr char begins = '\x01';
constexpr char standsIn = '\x02';
constexpr char ends = '\x03';

std::string unmarked(std::string_view text) {
    std::string plain(text);
    std::replace_if(
        plain.begin(), plain.end(),
        [](char c) { return c == begins || c == standsIn || c == ends; }, '?');
    return plain;
}

// The sentence with each mark replaced by its text (first) or stand-in.
std::string resolved(std::string_view sentence, bool text) {
    std::string result;
    for (std::size_t at = 0; at < sentence.size();) {
        const std::size_t begin = sentence.find(begins, at);
        const std::size_t middle = sentence.find(standsIn, begin);
        const std::size_t end = sentence.find(ends, middle);
        if (end == std::string_view::npos) {
            result.append(sentence.substr(at));
            break;
        }
        result.append(sentence.substr(at, begin - at));
        result.append(text ? sentence.substr(begin + 1, middle - begin - 1)
                           : sentence.substr(middle + 1, end - middle - 1));
        at = end + 1;
    }
    return result;
}

} // namespace

std::string quoted(std::string_view text, std::string_view standIn) {
    return begins + unmarked(text) + standsIn + unmarked(standIn) + ends;
}

std::string forPeople(std::string_view sentence) {
    return resolved(sentence, true);
}

std::string forMachines(std::string_view sentence) {
    return resolved(sentence, false);
}

} // namespace disctool::outside
