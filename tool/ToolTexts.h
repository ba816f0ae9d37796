#pragma once

#include <QLatin1StringView>

// The disc-image tool's output texts that the program recognises, exactly as
// the tool writes them ("eraseable" included). Each is found anywhere in a line,
// case-sensitively.
namespace ToolText {
inline constexpr QLatin1StringView NoDrivesPresent{"no CD/DVD drives present"};
inline constexpr QLatin1StringView InsertDisc{"Please insert a disc:"};
inline constexpr QLatin1StringView MediaNotEraseable{"Media is not eraseable"};
inline constexpr QLatin1StringView MediaNotWritable{"Media is not writable"};
inline constexpr QLatin1StringView NotEnoughSpace{"Media does not have enough free space"};
inline constexpr QLatin1StringView PreparingData{"Preparing data for burn"};
inline constexpr QLatin1StringView WritingTrack{"Writing track"};
inline constexpr QLatin1StringView ClosingSession{"Closing session"};
inline constexpr QLatin1StringView FinishingBurn{"Finishing burn"};
inline constexpr QLatin1StringView VerifyingBurn{"Verifying burn"};
inline constexpr QLatin1StringView Percent{"PERCENT:"};
inline constexpr QLatin1StringView BurnCompleted{"Burn completed successfully"};
inline constexpr QLatin1StringView DeviceBusy{"The device is being used by another application"};
inline constexpr QLatin1StringView BurnFailed{"burn failed"};

// In a listing's name line, the burner's title is the text before this.
inline constexpr QLatin1StringView BurnerTitleEnd{"via"};
} // namespace ToolText
