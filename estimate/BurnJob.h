#pragma once

#include "media/MediumFacts.h"

#include <cstdint>
#include <vector>

namespace estimate {

using media::Family;
enum class EraseKind { None, Fast, Full, Format };
// In the order a burn runs them.
enum class Phase { Erase, Write, Close, Verify };

// What a burn does, as far as time goes.
struct BurnJob {
    Family family = Family::CD;
    int layers = 1;
    // What closing the session writes; 0 where it closes at once
    // (overwritable media: DVD+RW, DVD-RAM, BD-RE).
    std::int64_t closingSectors = 0;
    std::int64_t capacityBytes = 0; // the whole disc's; 0 for the usual disc
    std::int64_t imageBytes = 0;
    double writeMultiple = 1; // of the medium's 1x, as the drive took it
    double readMultiple = 1;
    EraseKind erase = EraseKind::None;
    bool verify = false;
};

// A job on the medium: its family, layers and what closing its session
// writes, as the table of media facts says; the rest as above.
BurnJob jobOn(const media::MediumFacts& medium);

// User data per second at 1x.
double userBytesPerSecondAt1x(Family family);
// A drive's speed figure (kB/s of 1000 bytes, a CD's counted in raw sectors)
// as a multiple of 1x.
double multipleOfKilobytesPerSecond(Family family, double kilobytesPerSecond);

// The share of the write on the disc once this share of the image was sent:
// a drive takes the data into its buffer and writes it from there, so the
// host is that far ahead of the disc until the write's end waits for the
// buffer to drain.
double writtenShareOnDisc(const BurnJob& job, double sentShare);

// The phases the job runs, in order.
std::vector<Phase> phasesOf(const BurnJob& job);
// Seconds the phase takes from the given fraction of it to its end, with the
// host's wait for the drive at its end.
double phaseSecondsFrom(const BurnJob& job, Phase phase, double fraction);
// The whole job, every phase from its start.
double jobSeconds(const BurnJob& job);

} // namespace estimate
