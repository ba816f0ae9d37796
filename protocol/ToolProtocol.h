#pragma once

#include <array>
#include <string_view>

// What Emberlin and its disc-image tool say to each other: the command lines the
// app runs and the output lines it acts on. Plain C++ for both sides: the app
// (Qt) builds and matches with these texts, emberlin-disctool writes them. The
// texts are the tool's, exactly ("eraseable" included); the app finds each
// anywhere in a line, case-sensitively.
namespace toolprotocol {

// Command lines: `burn -list`, and `burn IMAGE OPTIONS... -device ID`.
inline constexpr std::string_view burnCommand = "burn";
inline constexpr std::string_view listOption = "-list";
inline constexpr std::string_view verifyOption = "-verifyburn";
inline constexpr std::string_view noVerifyOption = "-noverifyburn";
inline constexpr std::string_view closeOption = "-forceclose";
inline constexpr std::string_view leaveOpenOption = "-noforceclose";
inline constexpr std::string_view speedOption = "-speed";
inline constexpr std::string_view eraseOption = "-erase";
inline constexpr std::string_view machineReadableOption = "-puppetstrings";
inline constexpr std::string_view deviceOption = "-device";
// Asks before erasing a disc that holds data (see `eraseQuestion`). Only the
// Linux tool knows it: the app passes it to no other.
inline constexpr std::string_view askBeforeErasingOption = "-askbeforeerasing";

// The burn speeds: the title the window offers, the value passed after
// -speed, and the multiple of the medium's 1x it stands for.
struct Speed {
    std::string_view title;
    std::string_view value;
    int multiple;
};
inline constexpr std::array<Speed, 8> speeds{{
    {"1x", "1", 1},
    {"2x", "2", 2},
    {"4x", "4", 4},
    {"6x", "6", 6},
    {"8x", "8", 8},
    {"12x", "12", 12},
    {"16x", "16", 16},
    {"24x", "24", 24},
}};
// Both the window's title and the value for the drive's own maximum.
inline constexpr std::string_view maximumSpeed = "max";

// The listing: pairs of lines, a name line whose text before `burnerTitleEnd`
// is the burner's title, then its device line; or `noDrivesPresent`.
inline constexpr std::string_view burnerTitleEnd = "via";
inline constexpr std::string_view noDrivesPresent = "no CD/DVD drives present";

// The burn's machine-readable lines.
// The tool waits for a disc after this prompt, without a line end.
inline constexpr std::string_view insertDisc = "Please insert a disc:";
inline constexpr std::string_view mediaNotEraseable = "Media is not eraseable";
inline constexpr std::string_view mediaNotWritable = "Media is not writable";
inline constexpr std::string_view notEnoughSpace = "Media does not have enough free space";
inline constexpr std::string_view preparingData = "Preparing data for burn";
inline constexpr std::string_view writingTrack = "Writing track";
inline constexpr std::string_view closingSession = "Closing session";
inline constexpr std::string_view finishingBurn = "Finishing burn";
inline constexpr std::string_view verifyingBurn = "Verifying burn";
inline constexpr std::string_view burnCompleted = "Burn completed successfully";
inline constexpr std::string_view deviceBusy = "The device is being used by another application";
// A failure: the tool writes `failurePrefix` and its reason; the app recognises
// `burnFailed` and shows the line from the prefix's length on.
inline constexpr std::string_view burnFailed = "burn failed";
inline constexpr std::string_view failurePrefix = "burn failed - ";

// Value lines: a marker at the very start of the line, a value after it.
// Progress in percent; a negative value means activity without a value.
inline constexpr std::string_view percentMarker = "PERCENT:";

// Facts for the time estimate and the burn receipt, on lines of their own that
// hold none of the texts above, so the window's reading of lines is unchanged:
// `factMarker` at the very start, then blank-separated KEY=VALUE pairs. A reader
// skips keys it does not know. Only the Linux tool writes them.
inline constexpr std::string_view factMarker = "FACT:";
// The accepted medium, named as in emulated drive ids ("cd-r", "dvd+rw", "bd-re").
inline constexpr std::string_view factMedium = "medium";
// Bytes the medium holds when written as this burn writes it; also told, with
// the image's size, of a disc refused for lack of room.
inline constexpr std::string_view factCapacity = "capacity";
inline constexpr std::string_view factImageBytes = "image-bytes";
// What the drive took after the speed was set, in 1000 bytes per second.
inline constexpr std::string_view factWriteSpeed = "write-kbps";
inline constexpr std::string_view factReadSpeed = "read-kbps";
// How the disc is being erased: `eraseFast`, `eraseFull` or `eraseFormat`.
inline constexpr std::string_view factErase = "erase";
inline constexpr std::string_view eraseFast = "fast";
inline constexpr std::string_view eraseFull = "full";
inline constexpr std::string_view eraseFormat = "format";
// Progress in bytes, beside each PERCENT line of the write and the verify.
inline constexpr std::string_view factBytesWritten = "bytes-written";
inline constexpr std::string_view factBytesVerified = "bytes-verified";
// Lower-case hex SHA-256 of the bytes fed to the drive, once the write ends,
// and of what was read back over the image's length, once the verify ends.
inline constexpr std::string_view factImageSha256 = "image-sha256";
inline constexpr std::string_view factReadbackSha256 = "readback-sha256";
// Lower-case hex SHA-256 of the image file itself, as read through the
// descriptor the burn read it from, written just before `factImageSha256`:
// what a published checksum names. For a raw image the same value as
// `factImageSha256`; for an image the tool expands, of the file as it came.
inline constexpr std::string_view factFileSha256 = "file-sha256";
// Where the verify's read-back came from, written just before
// `factReadbackSha256`: `readbackFromDisc` once the drive read the disc anew
// (it ejected and loaded it, or the target is a file), `readbackFromCacheOrDisc`
// where the drive could not be made to forget what it wrote (a tray it cannot
// pull back in), so its buffer may have answered part of the read. Closing a
// disc does not empty the buffer. A reader takes a missing value as unknown.
inline constexpr std::string_view factReadbackFrom = "readback-from";
inline constexpr std::string_view readbackFromDisc = "disc";
inline constexpr std::string_view readbackFromCacheOrDisc = "cache-or-disc";
// What a disc holds, for people ("a btrfs file system named \"backup\""),
// told right before it is refused for that data, and once per disc right
// before that data is lost to an erase, a format or a write over it. In every value
// blanks, "%" and bytes outside printable ASCII are written as %XX, so that
// no value splits its line.
inline constexpr std::string_view factDiscHolds = "disc-holds";

// With `askBeforeErasingOption`, before erasing, formatting or writing over a disc that
// holds data (or may: a read that failed counts as data), the tool tells what
// it holds (`factDiscHolds`, after the medium's facts), writes `eraseQuestion`
// on a line of its own and waits for one answer line on its standard input,
// still answering a cancel. `answerErase` erases the disc; `answerKeep` ejects
// it untouched and asks for another disc, whose own question follows if it
// holds data too. Any other line, or the input's end, erases nothing and fails
// the burn.
inline constexpr std::string_view eraseQuestion = "QUESTION:erase-disc-holding-data";
inline constexpr std::string_view answerErase = "erase";
inline constexpr std::string_view answerKeep = "keep";

} // namespace toolprotocol
