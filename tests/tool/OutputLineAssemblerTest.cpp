#include "tool/OutputLineAssembler.h"

#include "tests/support/TestSupport.h"

#include <QStringList>

using namespace emberlin;

namespace {

struct Assembled {
    QStringList lines;
    QStringList afterFinish; // what the tool's exit adds
};

Assembled assemble(const QStringList& pieces) {
    OutputLineAssembler assembler;
    Assembled result;
    for (const QString& piece : pieces)
        assembler.append(piece, [&](const QString& line) { result.lines << line; });
    assembler.finish([&](const QString& line) { result.afterFinish << line; });
    return result;
}

const QString prompt = "Please insert a disc:";

TEST(OutputLineAssembler, CutsPiecesIntoLines) {
    struct Case {
        QStringList pieces;
        QStringList lines;
        QString unfinished;
    };
    // clang-format off
    const Case cases[] = {
        {{"\n"}, {""}, {}}, {{"a\nb\n\nc\n"}, {"a", "b", "", "c"}, {}},
        {{"par", "tial\nnext"}, {"partial"}, "next"},
        {{"a\r\nb"}, {"a\r"}, "b"}, // only "\n" ends a line
        {{"Grüße 💿\n"}, {"Grüße 💿"}, {}},
        // The prompt ends its line right after itself, wherever it is completed.
        {{prompt}, {prompt}, {}}, {{prompt + "\n"}, {prompt, ""}, {}},
        {{"Waiting. ", prompt}, {"Waiting. " + prompt}, {}},
        {{"Please insert ", "a disc:"}, {prompt}, {}},
        {{prompt + "PERCENT:5", "0.0\n"}, {prompt, "PERCENT:50.0"}, {}},
        {{"please insert a disc:"}, {}, "please insert a disc:"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Assembled assembled = assemble(c.pieces);
        EXPECT_EQ(assembled.lines, c.lines) << c.pieces.join('|').toStdString();
        EXPECT_EQ(assembled.afterFinish,
                  c.unfinished.isNull() ? QStringList() : QStringList{c.unfinished});
    }
}

TEST(OutputLineAssembler, AnyCutOfTheOutputGivesTheSameLines) {
    const QString output = "PIONEER DVR via USB\n  1,0,0 \n\nPERCENT:12.5\r\nWait " + prompt +
                           "PERCENT:5\nGrüße 💿\nburn failed\nunfinished";
    const Assembled whole = assemble({output});
    ASSERT_EQ(whole.lines.size(), 8);
    for (qsizetype first = 0; first <= output.size(); ++first) {
        for (qsizetype second = first; second <= output.size(); ++second) {
            const QStringList pieces{output.left(first), output.mid(first, second - first),
                                     output.mid(second)};
            const Assembled cut = assemble(pieces);
            EXPECT_EQ(cut.lines, whole.lines) << pieces.join('|').toStdString();
            EXPECT_EQ(cut.afterFinish, QStringList{"unfinished"});
        }
    }
}

TEST(OutputLineAssembler, ALineLongerThanTheBoundIsCutThereAndNothingIsLost) {
    constexpr qsizetype bound = OutputLineAssembler::longestLine;
    QStringList pieces;
    for (qsizetype sent = 0; sent < 2 * bound + 5; sent += 65536)
        pieces << QString(std::min<qsizetype>(65536, 2 * bound + 5 - sent), u'x');
    pieces << "\nok\n";
    const Assembled assembled = assemble(pieces);
    EXPECT_EQ(assembled.lines,
              QStringList({QString(bound, u'x'), QString(bound, u'x'), "xxxxx", "ok"}));
}

// An interpretation may act on the assembler: output arriving meanwhile comes
// after the lines waiting; a clear (a new burn started from inside an alert)
// ends the old output.
TEST(OutputLineAssembler, AnInterpretationMayAddOutputOrClearIt) {
    for (const bool clears : {false, true}) {
        OutputLineAssembler assembler;
        QStringList lines;
        std::function<void(const QString&)> interpret = [&](const QString& line) {
            lines << line;
            if (line == "one") {
                if (clears)
                    assembler.clear();
                assembler.append(u"four\nunfinished", interpret);
            }
        };
        assembler.append(u"one\ntwo\nthree\n", interpret);
        assembler.finish(interpret);
        const QStringList expected = clears
                                         ? QStringList{"one", "four", "unfinished"}
                                         : QStringList{"one", "two", "three", "four", "unfinished"};
        EXPECT_EQ(lines, expected);
    }
}

} // namespace
