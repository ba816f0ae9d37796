// A listing of any text, in pieces, through the line assembly and the
// interpretation, applied as the window applies it: either no burners at all,
// or every line taken, in pairs of a title (the name line up to "via") and a
// device, the last line too when it has no line end.
#include "FuzzCheck.h"
#include "OutputLineAssembler.h"
#include "ProgressInterpreter.h"

#include <QStringList>
#include <fuzzer/FuzzedDataProvider.h>

using namespace emberlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    OutputLineAssembler assembler;
    InterpreterInput window{BurnStateListing, false, false, true};
    QStringList lines;
    QStringList titles;
    QStringList devices;
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
            else
                check(std::holds_alternative<effect::ClearBurners>(effect) ||
                          std::holds_alternative<effect::ShowStatus>(effect),
                      "a listing shows no alert and plays no sound");
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

    if (window.burnState == BurnStateNoBurners) {
        check(lines.filter(QStringLiteral("no CD/DVD drives present")).size() > 0,
              "no burners only when the tool says so");
        return 0;
    }
    check(window.burnState == BurnStateListing && titles.size() == (lines.size() + 1) / 2 &&
              devices.size() == lines.size() / 2,
          "every line of a listing is a title or a device, in turns");
    for (qsizetype i = 0; i < titles.size(); ++i) {
        check(lines[2 * i].startsWith(titles[i]) && !titles[i].contains(QStringLiteral("via")),
              "a title is its line up to \"via\"");
        check(2 * i + 1 >= lines.size() || devices[i] == lines[2 * i + 1], "a device is its line");
    }
    return 0;
}
