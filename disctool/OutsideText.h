// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Text from outside the tool (a path, a device, what was typed) inside one of
// its sentences. The window finds the tool's texts anywhere in a line, so an
// image named "Burn completed successfully.iso" must never reach a line it
// interprets: such text is marked where it enters a sentence; people see it
// whole, machine-readable lines carry a stand-in of the tool's own instead.
namespace disctool::outside {

// `text` marked as from outside, `standIn` to take its place for machines.
std::string quoted(std::string_view text, std::string_view standIn = {});
// The sentence with each marked text as it was.
std::string forPeople(std::string_view sentence);
// The sentence with each marked text replaced by its stand-in.
std::string forMachines(std::string_view sentence);

} // namespace disctool::outside
