// Output in pieces of any sizes, some arriving while a line is being
// interpreted: the lines read back in order, with the line ends put back, are
// the output; a line ends only at a line end, right after the prompt, at the
// bound or at the tool's exit; and how the output was cut changes nothing.
#include "FuzzCheck.h"
#include "OutputLineAssembler.h"
#include "ProtocolText.h"

#include <QStringList>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

using namespace emberlin;

namespace {

constexpr QLatin1StringView prompt = qtText(toolprotocol::insertDisc);

struct Piece {
    QString text;
    bool duringInterpretation;
};

QStringList assemble(const std::vector<Piece>& pieces, qsizetype bound) {
    OutputLineAssembler assembler(bound);
    QStringList lines;
    std::size_t next = 0;
    OutputLineAssembler::Interpret interpret = [&](const QString& line) {
        lines << line;
        while (next < pieces.size() && pieces[next].duringInterpretation)
            assembler.append(pieces[next++].text, interpret);
    };
    while (next < pieces.size())
        assembler.append(pieces[next++].text, interpret);
    assembler.finish(interpret);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const qsizetype bound = input.ConsumeIntegralInRange<qsizetype>(prompt.size(), 300);
    std::vector<Piece> pieces;
    QString output;
    while (input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 80);
        pieces.push_back(
            {QString::fromUtf8(input.ConsumeBytesAsString(length)), input.ConsumeBool()});
        output += pieces.back().text;
    }
    const QStringList lines = assemble(pieces, bound);
    check(lines == assemble({{output, false}}, bound), "the cuts between pieces change nothing");

    qsizetype at = 0;
    for (const QString& line : lines) {
        check(line.size() <= bound && !line.contains(u'\n') &&
                  QStringView(output).mid(at).startsWith(line),
              "lines within the bound give back the output in order");
        at += line.size();
        const qsizetype promptAt = line.indexOf(prompt);
        check(promptAt < 0 || promptAt + prompt.size() == line.size(), "the prompt ends its line");
        if (promptAt >= 0)
            continue;
        if (at < output.size() && output[at] == u'\n')
            ++at;
        else
            check(line.size() == bound || at == output.size(), "a line ends where a rule says");
    }
    check(at == output.size(), "nothing is lost");
    return 0;
}
