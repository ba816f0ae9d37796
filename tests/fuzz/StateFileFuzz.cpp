// An emulated drive's state file, which anyone may have written. A number of
// any magnitude in any field of a disc or a track is taken exactly when it
// lies within what a disc can be; any text at all is taken or refused with a
// reason; what is taken is written back as it was read, and a drive reports
// every disc it describes without overflowing.
#include "emulator/DiscStateFile.h"
#include "emulator/MediumReports.h"
#include "tests/fuzz/FuzzCheck.h"

using emulator::DiscStateFile;

// The fields of a CD-RW's state with two sessions, and what each may hold
// there: a second session's track needs a first one closed, and starts
// after the first track's 4096 sectors.
struct Field {
    const char* written;
    std::int64_t minimum, maximum;
};

constexpr std::int64_t largest = std::int64_t{1} << 29;
constexpr Field discFields[] = {
    {"31782912", 0, largest * 2048},
    {"51200", 1, largest},
    {"0", 0, 51200},
    {"0", 0, 2},
    {"2", 1, 99},
    {"0", 0, 1},
    {"1", 0, 1},
    {"0", 0, 1},
    {"26496", 0, largest},
};
constexpr Field trackFields[] = {
    {"2", 1, 2}, {"15498", 4096, largest}, {"0", 0, largest}, {"0", 0, largest}, {"1", 0, 1},
    {"0", 0, 1},
};

static void reportEvery(const emulator::RememberedDiscs& discs) {
    for (const auto& remembered : discs) {
        if (!remembered) {
            continue;
        }
        const emulator::Disc& disc = remembered->disc;
        check(disc.freeSectors() >= 0 && disc.recordedEnd() >= 0, "a disc's room makes sense");
        emulator::discInformation(disc);
        emulator::readCapacity(disc);
        emulator::formatCapacities(disc);
        for (int format = 0; format <= 2; ++format) {
            emulator::tableOfContents(disc, format, format == 1, 0xAA);
        }
        for (std::size_t track = 0; track <= disc.tracks.size() + 1; ++track) {
            emulator::trackInformation(disc, 1, static_cast<std::int64_t>(track));
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t replaced = input.ConsumeIntegralInRange<std::size_t>(
        0, std::size(discFields) + std::size(trackFields) - 1);
    const auto number = input.ConsumeIntegral<std::int64_t>();
    std::string disc = "disc d cd-rw";
    std::string track = "track 1 0 4096 0 1 0\ntrack";
    bool inRange = false;
    for (std::size_t i = 0; i < std::size(discFields) + std::size(trackFields); ++i) {
        const Field& field =
            i < std::size(discFields) ? discFields[i] : trackFields[i - std::size(discFields)];
        const std::string written = i == replaced ? std::to_string(number) : field.written;
        (i < std::size(discFields) ? disc : track) += ' ' + written;
        inRange = inRange || (i == replaced && number >= field.minimum && number <= field.maximum);
    }
    std::string problem;
    const auto fields = DiscStateFile::parse(
        "emberlin-emulated-discs 3\n" + disc + " cd-rw state 2\n" + track + "\n", problem);
    check(fields.has_value() == inRange, "a number is taken exactly when it lies within its range");
    if (fields) {
        reportEvery(*fields);
    }

    problem.clear();
    const auto discs = DiscStateFile::parse(input.ConsumeRemainingBytesAsString(), problem);
    check(discs.has_value() == problem.empty(), "a state, or a reason to refuse it");
    if (discs) {
        std::string again;
        check(DiscStateFile::parse(DiscStateFile::format(*discs), again) == discs,
              "a state is written back as it was read");
        reportEvery(*discs);
    }
    return 0;
}
