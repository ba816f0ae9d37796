// A listing of any text, in pieces, through the line assembly and the
// interpretation, applied as the window applies it: either no burners at all,
// or every line taken, in pairs of a title (the name line up to "via") and a
// device, the last line too when it has no line end.
#include "tests/fuzz/FuzzCheck.h"
#include "tool/OutputLineAssembler.h"
#include "tool/ProgressInterpreter.h"

#include <QStringList>

using namespace emberlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    OutputLineAssembler assembler;
    InterpreterInput window{BurnStateListing, false, false, true};
    QStringList lines, titles, devices;
    const auto interpret = [&](const QString& line) {
        lines << line;
        for (const InterpreterEffect& effect : interpretLine(line, window)) {
            if (const auto* move = std::get_if<effect::SetBurnState>(&effect))
                window.burnState = move->state;
            else if (const auto* title = std::get_if<effect::AddBurnerName>(&effect))
                titles << title->title;
            else if (const auto* device = std::get_if<effect::AddBurnerDevice>(&effect))
                devices << device->device;
            else if (std::holds_alternative<effect::ToggleExpectBurnerName>(effect))
                window.expectBurnerName = !window.expectBurnerName;
        }
    };
    QString listing;
    while (input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 100);
        const QString piece = QString::fromUtf8(input.ConsumeBytesAsString(length));
        listing += piece;
        assembler.append(piece, interpret);
    }
    assembler.finish(interpret);
    check(lines.size() >=
              listing.count(u'\n') + (listing.isEmpty() || listing.endsWith(u'\n') ? 0 : 1),
          "every line is taken, the last one too");

    check(window.burnState != BurnStateNoBurners ||
              !lines.filter("no CD/DVD drives present").isEmpty(),
          "no burners only when the tool says so");
    if (window.burnState == BurnStateNoBurners)
        return 0;
    check(window.burnState == BurnStateListing && titles.size() == (lines.size() + 1) / 2 &&
              devices.size() == lines.size() / 2,
          "every line of a listing is a title or a device, in turns");
    for (qsizetype i = 0; i < lines.size(); ++i)
        check(i % 2 ? devices[i / 2] == lines[i]
                    : titles[i / 2] == lines[i].left(lines[i].indexOf("via")),
              "a title is its line up to \"via\", a device its whole line");
    return 0;
}
