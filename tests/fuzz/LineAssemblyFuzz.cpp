// Output in pieces of any sizes, some arriving while a line is being
// interpreted: the lines read back in order, with the line ends put back, are
// the output; a line ends only at a line end, right after the prompt, at the
// bound or at the tool's exit; and how the output was cut changes nothing.
#include "tests/fuzz/FuzzCheck.h"
#include "tool/OutputLineAssembler.h"
#include "tool/ProtocolText.h"

#include <QStringList>

using namespace emberlin;

constexpr QLatin1StringView prompt = qtText(toolprotocol::insertDisc);

// A piece of output, and whether it arrives while a line is being interpreted.
using Piece = std::pair<QString, bool>;

static QStringList assemble(const std::vector<Piece>& pieces, qsizetype bound) {
    OutputLineAssembler assembler(bound);
    QStringList lines;
    std::size_t next = 0;
    OutputLineAssembler::Interpret interpret = [&](const QString& line) {
        lines << line;
        while (next < pieces.size() && pieces[next].second)
            assembler.append(pieces[next++].first, interpret);
    };
    while (next < pieces.size())
        assembler.append(pieces[next++].first, interpret);
    assembler.finish(interpret);
    return lines;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const qsizetype bound = input.ConsumeIntegralInRange<qsizetype>(prompt.size(), 300);
    std::vector<Piece> pieces;
    QString output;
    while (input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 80);
        pieces.push_back(
            {QString::fromUtf8(input.ConsumeBytesAsString(length)), input.ConsumeBool()});
        output += pieces.back().first;
    }
    const QStringList lines = assemble(pieces, bound);
    check(lines == assemble({{output, false}}, bound), "the cuts between pieces change nothing");

    qsizetype at = 0;
    for (const QString& line : lines) {
        const qsizetype promptAt = line.indexOf(prompt);
        check(line.size() <= bound && !line.contains(u'\n') &&
                  QStringView(output).mid(at).startsWith(line) &&
                  (promptAt < 0 || promptAt + prompt.size() == line.size()),
              "lines within the bound, ended by the prompt if they hold it, give back the output");
        at += line.size();
        if (promptAt < 0 && at < output.size() && output[at] == u'\n')
            ++at;
        else
            check(promptAt >= 0 || line.size() == bound || at == output.size(),
                  "a line ends at a line end, the prompt, the bound or the tool's exit");
    }
    check(at == output.size(), "nothing is lost");
    return 0;
}
