#pragma once

#include <QString>
#include <optional>

namespace emberlin {

// A question the tool asks on a line of its own, after which it waits for one
// answer line on its standard input.
enum class ToolQuestion { EraseDiscHoldingData };

// The question a line asks; nullopt for any other line.
std::optional<ToolQuestion> questionOf(const QString& line);

// The answer line, its line end included, that erases the disc or keeps it
// (the tool then asks for another disc).
QString eraseAnswer(bool erase);

} // namespace emberlin
