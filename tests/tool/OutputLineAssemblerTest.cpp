#include "OutputLineAssembler.h"

#include <QStringList>
#include <gmock/gmock.h>

namespace {

struct Assembled {
    QStringList lines;
    QString rest; // the buffer afterwards
};

Assembled assemble(const QStringList& pieces, QString buffer = {}) {
    Assembled result;
    for (const QString& piece : pieces) {
        assembleOutputLines(buffer, piece, [&](const QString& line) { result.lines << line; });
    }
    result.rest = buffer;
    return result;
}

void expectAssembled(const Assembled& actual, const QStringList& lines, const QString& rest,
                     const QStringList& pieces) {
    const std::string context = "pieces: \"" + pieces.join("\" \"").toStdString() + "\"";
    EXPECT_EQ(actual.lines, lines) << context;
    EXPECT_EQ(actual.rest, rest) << context;
}

const QString Prompt = QStringLiteral("Please insert a disc:");

} // namespace

TEST(OutputLineAssembler, CutsPiecesIntoLines) {
    struct Case {
        QStringList pieces;
        QStringList lines;
        QString rest;
    };
    const Case cases[] = {
        {{"\n"}, {""}, ""},
        {{"a\nb\n\nc\n"}, {"a", "b", "", "c"}, ""},
        {{"partial"}, {}, "partial"},
        {{"par", "tial\nnext"}, {"partial"}, "next"},
        {{"a\r\nb"}, {"a\r"}, "b"}, // only "\n" ends a line
        {{"Grüße 💿\n"}, {"Grüße 💿"}, ""},
        // The prompt completes its line even without a line end.
        {{Prompt}, {Prompt}, ""},
        {{Prompt + "\n"}, {Prompt, ""}, ""},
        {{"Waiting. " + Prompt}, {"Waiting. " + Prompt}, ""},
        {{"Waiting. ", Prompt}, {"Waiting. " + Prompt}, ""},
        {{"a\n" + Prompt + "\nb"}, {"a", Prompt, "b"}, ""},
        // Split over two pieces, the prompt is not seen.
        {{"Please insert ", "a disc:"}, {}, Prompt},
        {{"Please insert ", "a disc:\n"}, {Prompt}, ""},
        {{"please insert a disc:"}, {}, "please insert a disc:"},
    };
    for (const Case& c : cases) {
        expectAssembled(assemble(c.pieces), c.lines, c.rest, c.pieces);
    }
}

TEST(OutputLineAssembler, AnyCutOfTheOutputGivesTheSameLines) {
    const QString output = QStringLiteral("PIONEER DVR via USB\n  1,0,0 \n\nPERCENT:12.5\r\n"
                                          "Grüße 💿\nburn failed\nunfinished");
    const Assembled whole = assemble({output});
    ASSERT_EQ(whole.lines.size(), 6);
    for (qsizetype first = 0; first <= output.size(); ++first) {
        for (qsizetype second = first; second <= output.size(); ++second) {
            const QStringList pieces{output.left(first), output.mid(first, second - first),
                                     output.mid(second)};
            expectAssembled(assemble(pieces), whole.lines, whole.rest, pieces);
        }
    }
    QStringList characters;
    for (const QChar c : output) {
        characters << QString(c);
    }
    expectAssembled(assemble(characters), whole.lines, whole.rest, {"one character each"});
}

TEST(OutputLineAssembler, AnInterpretationThatEmptiesTheBufferEndsTheOldOutput) {
    QString buffer;
    QStringList lines;
    assembleOutputLines(buffer, "one\ntwo\nthree\n", [&](const QString& line) {
        lines << line;
        buffer.clear(); // a new burn started from inside an alert
    });
    EXPECT_EQ(lines, QStringList{"one"});
    EXPECT_EQ(buffer, "");
}

TEST(OutputLineAssembler, ANewBurnsOutputDuringAnInterpretationIsKeptApart) {
    QString buffer;
    QStringList lines;
    std::function<void(const QString&)> interpret = [&](const QString& line) {
        lines << line;
        if (line == "old one") {
            buffer.clear();
            assembleOutputLines(buffer, "new one\nnew unfinished", interpret);
        }
    };
    assembleOutputLines(buffer, "old one\nold two\n", interpret);
    EXPECT_EQ(lines, (QStringList{"old one", "new one"}));
    EXPECT_EQ(buffer, "new unfinished");
}

TEST(OutputLineAssembler, OutputArrivingDuringAnInterpretationKeepsItsOrder) {
    QString buffer;
    QStringList lines;
    std::function<void(const QString&)> interpret = [&](const QString& line) {
        lines << line;
        if (line == "one") {
            assembleOutputLines(buffer, "four\n", interpret);
        }
    };
    assembleOutputLines(buffer, "one\ntwo\nthree\n", interpret);
    EXPECT_EQ(lines, (QStringList{"one", "two", "three", "four"}));
    EXPECT_EQ(buffer, "");
}

TEST(OutputLineAssembler, HandlesAFloodOfLines) {
    constexpr int count = 100'000;
    QString output;
    for (int i = 0; i < count; ++i) {
        output += QString::number(i) + u'\n';
    }
    QString buffer;
    int expected = 0;
    bool inOrder = true;
    assembleOutputLines(buffer, output, [&](const QString& line) {
        inOrder = inOrder && line == QString::number(expected);
        ++expected;
    });
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(expected, count);
    EXPECT_EQ(buffer, "");

    // One long line arriving in many small pieces.
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        assembleOutputLines(buffer, "x", [&](const QString& line) { lines << line; });
    }
    assembleOutputLines(buffer, "\n", [&](const QString& line) { lines << line; });
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], QString(count, u'x'));
}
