// The tool's command line. Whatever the window puts on it (any options, an
// absolute image path, a listed device) the tool reads back unchanged; and any
// argument list at all is either a usable command or an explained refusal.
#include "Arguments.h"
#include "BurnCommand.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>

using namespace emberlin;
using disctool::Arguments;

namespace {

std::vector<std::string> toStrings(const QStringList& list) {
    std::vector<std::string> strings;
    for (const QString& item : list)
        strings.push_back(item.toStdString());
    return strings;
}

void readsBackTheWindowsChoices(FuzzedDataProvider& input) {
    const QStringList titles{"1x", "2x", "4x", "6x", "8x", "12x", "16x", "24x", "max"};
    const BurnChoices choices{input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool(),
                              titles[input.ConsumeIntegralInRange<qsizetype>(0, 8)]};
    const QString image = u'/' + QString::fromUtf8(input.ConsumeRandomLengthString());
    const QString device = QString::fromUtf8(input.ConsumeRemainingBytesAsString());
    if (image.contains(QChar(0)) || device.contains(QChar(0)) || device.isEmpty() ||
        device.startsWith(u'-'))
        return; // not a path, nor a device the listing gives
    const Arguments read =
        Arguments::parse(toStrings(burnArguments("tool", image, choices, device).mid(1)));
    const disctool::BurnOptions& burn = read.burn();
    check(read.command() == Arguments::Command::Burn && burn.imagePath == image.toStdString() &&
              burn.device == device.toStdString() && burn.verify == choices.verify &&
              burn.closeDisc == !choices.leaveAppendable && burn.erase == choices.erase &&
              burn.puppetStrings && burn.eject && !burn.testBurn &&
              burn.speed ==
                  (choices.speedTitle == "max" ? 0 : choices.speedTitle.chopped(1).toInt()),
          "the tool reads the window's burn as it was meant");
}

void explainsOrAccepts(FuzzedDataProvider& input) {
    std::vector<std::string> args;
    while (input.remaining_bytes() > 0)
        args.push_back(input.ConsumeRandomLengthString());
    const Arguments read = Arguments::parse(args);
    const auto given = [&args](const std::string& arg) {
        return std::find(args.begin(), args.end(), arg) != args.end();
    };
    const disctool::BurnOptions& burn = read.burn();
    switch (read.command()) {
    case Arguments::Command::Invalid:
        check(!read.problem().empty(), "a refusal says why");
        break;
    case Arguments::Command::Burn:
        check(given(burn.imagePath) && given(burn.device) && burn.device.front() != '-',
              "a burn's image and device are arguments given");
        break;
    case Arguments::Command::List:
        check(args == std::vector<std::string>{"burn", "-list"}, "a listing is asked for exactly");
        break;
    case Arguments::Command::Help:
        check(given("-help") || given("--help") || given("-h"), "help is asked for");
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool())
        readsBackTheWindowsChoices(input);
    else
        explainsOrAccepts(input);
    return 0;
}
