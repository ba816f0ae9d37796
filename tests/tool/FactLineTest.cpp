#include "tool/FactLine.h"

#include "tests/support/TestSupport.h"
#include "tool/ToolQuestion.h"

#include <QStringList>

using namespace emberlin;

namespace {

// The facts as one text, so a table can say what a line gave.
QString summary(const ToolFacts& f) {
    const auto n = [](const std::optional<qint64>& figure) {
        return figure ? QString::number(*figure) : QString("-");
    };
    return QStringList({f.medium, n(f.capacity), n(f.imageBytes), n(f.writeKilobytesPerSecond),
                        n(f.readKilobytesPerSecond), f.erase, n(f.bytesWritten), n(f.bytesVerified),
                        f.fileSha256, f.imageSha256, f.readbackSha256, f.readbackFrom})
        .join(u'|');
}

} // namespace

TEST(FactLineTest, ReadsWhatALineSaysAndSkipsTheRest) {
    struct Case {
        QString line;
        QString facts;
    };
    // clang-format off
    const Case cases[] = {
        {"FACT: medium=dvd+r capacity=4700372992 image-bytes=1048576 write-kbps=22160 read-kbps=22160", "dvd+r|4700372992|1048576|22160|22160||-|-||||"},
        {"FACT: erase=full  bytes-written=65536 bytes-verified=2048", "|-|-|-|-|full|65536|2048||||"},
        {"FACT: file-sha256=ef56 image-sha256=ab12 readback-from=cache-or-disc readback-sha256=cd34", "|-|-|-|-||-|-|ef56|ab12|cd34|cache-or-disc"},
        {"FACT: colour=blue capacity=-5 image-bytes=12x write-kbps= =7 medium", "|-|-|-|-||-|-||||"},
        {"PERCENT:50 FACT: medium=cd-r", "|-|-|-|-||-|-||||"},
        {" FACT: medium=cd-r", "|-|-|-|-||-|-||||"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ToolFacts facts;
        readFactLine(c.line, facts);
        EXPECT_EQ(summary(facts), c.facts) << c.line.toStdString();
        EXPECT_EQ(isFactLine(c.line), c.line.startsWith("FACT:"));
    }
    // Later lines add to what earlier ones said, and replace a figure.
    ToolFacts facts;
    readFactLine("FACT: medium=bd-r bytes-written=10", facts);
    readFactLine("FACT: bytes-written=20", facts);
    EXPECT_EQ(summary(facts), "bd-r|-|-|-|-||20|-||||");
    // A value carries its blanks and percent signs encoded.
    readFactLine("FACT: disc-holds=a%20btrfs%20file%20system%20named%20%22100%25%22", facts);
    EXPECT_EQ(facts.discHolds, "a btrfs file system named \"100%\"");
}

// Only the whole line asks; a line that quotes it (a fact, a status) does not.
TEST(ToolQuestionTest, OnlyTheQuestionsOwnLineAsks) {
    EXPECT_EQ(questionOf("QUESTION:erase-disc-holding-data"), ToolQuestion::EraseDiscHoldingData);
    for (const char* line : {"QUESTION:erase-disc-holding-data ", "QUESTION:erase-disc-holding",
                             "FACT:disc-holds=QUESTION:erase-disc-holding-data", "QUESTION:", ""})
        EXPECT_EQ(questionOf(line), std::nullopt) << line;
}
