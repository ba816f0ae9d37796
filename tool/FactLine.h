#pragma once

#include <QString>
#include <optional>

namespace emberlin {

// What the tool reports of a burn on its fact lines, as far as it has. The
// tool does not know the window's texts; these lines only feed the time
// estimate and the burn receipt.
struct ToolFacts {
    QString medium; // as in emulated drive ids: "cd-r", "dvd+rw", ...
    std::optional<qint64> capacity;
    std::optional<qint64> imageBytes;
    std::optional<qint64> writeKilobytesPerSecond; // 1000 bytes each
    std::optional<qint64> readKilobytesPerSecond;
    QString erase; // "fast", "full", "format"; empty while not erasing
    std::optional<qint64> bytesWritten;
    std::optional<qint64> bytesVerified;
    QString fileSha256; // of the image file as the tool read it
    QString imageSha256;
    QString readbackSha256;
    // Whether the verify read the disc anew ("disc") or may have been answered
    // from the drive's cache ("cache-or-disc").
    QString readbackFrom;
    // What a refused disc holds, for people: "an HFS+ volume".
    QString discHolds;
};

bool isFactLine(const QString& line);

// Adds what a fact line says to facts; other lines, unknown keys and figures
// that are no whole number change nothing.
void readFactLine(const QString& line, ToolFacts& facts);

} // namespace emberlin
