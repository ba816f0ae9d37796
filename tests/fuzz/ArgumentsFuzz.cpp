// The tool's command line. Whatever the window puts on it (any options, an
// absolute image path, a listed device) the tool reads back unchanged; and any
// argument list at all is either what it asks for or a refusal that says why.
#include "disctool/Arguments.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tool/BurnCommand.h"

#include <optional>

using namespace emberlin;
using disctool::Arguments;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<std::string> args;
    std::optional<BurnChoices> choices; // when the window wrote the command line
    if (input.ConsumeBool()) {
        const QStringList titles{"1x", "2x", "4x", "6x", "8x", "12x", "16x", "24x", "max"};
        choices = {input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool(),
                   titles[input.ConsumeIntegralInRange<qsizetype>(0, 8)]};
        const QString image = u'/' + QString::fromUtf8(input.ConsumeRandomLengthString());
        const QString device = QString::fromUtf8(input.ConsumeRemainingBytesAsString());
        if (image.contains(QChar(0)) || device.contains(QChar(0)) || device.isEmpty() ||
            device.startsWith(u'-'))
            return 0; // not a path, nor a device the listing gives
        for (const QString& arg : burnArguments("tool", image, *choices, device).mid(1))
            args.push_back(arg.toStdString());
    }
    while (input.remaining_bytes() > 0)
        args.push_back(input.ConsumeRandomLengthString());
    const Arguments read = Arguments::parse(args);
    const disctool::BurnOptions& burn = read.burn();
    using enum Arguments::Command;
    if (choices) {
        const int speed = choices->speedTitle == "max" ? 0 : choices->speedTitle.chopped(1).toInt();
        check(read.command() == Burn && burn.imagePath == args[1] && burn.device == args.back() &&
                  burn.verify == choices->verify && burn.closeDisc == !choices->leaveAppendable &&
                  burn.erase == choices->erase && burn.speed == speed && burn.puppetStrings &&
                  burn.eject && !burn.testBurn,
              "the tool reads the window's burn as it was meant");
        return 0;
    }
    const auto given = [&args](const std::string& arg) {
        return std::find(args.begin(), args.end(), arg) != args.end();
    };
    check(read.command() == Invalid ? !read.problem().empty()
          : read.command() == Burn  ? given(burn.imagePath) && given(burn.device)
          : read.command() == List  ? args == std::vector<std::string>{"burn", "-list"}
                                    : given("-help") || given("--help") || given("-h"),
          "a refusal says why; a burn, a listing or help is what was asked for");
    return 0;
}
