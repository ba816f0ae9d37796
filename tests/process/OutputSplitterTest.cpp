#include "process/OutputSplitter.h"

#include "tests/support/TestSupport.h"

#include <vector>

using namespace emberlin;

namespace {

struct SplitCase {
    const char* name;
    std::vector<QByteArray> reads;
    std::vector<QStringList> expected; // pieces per read
};

class OutputSplitterTest : public testing::TestWithParam<SplitCase> {};

TEST_P(OutputSplitterTest, HandsOnCompleteLinesAndUnfinishedEnds) {
    const SplitCase& splitCase = GetParam();
    OutputSplitter splitter;
    ASSERT_EQ(splitCase.reads.size(), splitCase.expected.size());
    for (size_t i = 0; i < splitCase.reads.size(); ++i)
        EXPECT_EQ(splitter.split(splitCase.reads[i]), splitCase.expected[i]) << "read " << i;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reads, OutputSplitterTest, testing::Values(
    SplitCase{"TwoLines", {"two\nlines\n"}, {{"two\n", "lines\n"}}},
    SplitCase{"LineEndAlone", {"\n"}, {{"\n"}}},
    SplitCase{"TwoLineEnds", {"\n\n"}, {{"\n", "\n"}}},
    SplitCase{"LinesThenPrompt", {"PERCENT:100.000000\nPlease insert a disc:"}, {{"PERCENT:100.000000\n", "Please insert a disc:"}}},
    SplitCase{"LineInTwoReads", {"PERCENT:1", "2.5\n"}, {{"PERCENT:1"}, {"2.5\n"}}},
    SplitCase{"CarriageReturnKept", {"a\r\n"}, {{"a\r\n"}}},
    SplitCase{"EmptyRead", {""}, {QStringList()}},
    SplitCase{"TwoByteCharacterCut", {"caf\xc3", "\xa9\n"}, {{"caf"}, {QString::fromUtf8("\xc3\xa9\n")}}},
    SplitCase{"ThreeByteCharacterInThreeReads", {"\xe2", "\x82", "\xac\n"}, {{}, {}, {QString::fromUtf8("\xe2\x82\xac\n")}}},
    SplitCase{"InvalidBytesBecomeReplacementCharacters", {"ok\n", "bad\xff\n", "after\n"}, {{"ok\n"}, {QString::fromUtf16(u"bad\ufffd\n")}, {"after\n"}}},
    SplitCase{"CutCharacterNotContinued", {"a\xc3", "(\n"}, {{"a"}, {QString::fromUtf16(u"\ufffd(\n")}}},
    SplitCase{"ByteOrderMarkPassedOn", {"\xef\xbb\xbfx\n"}, {{QString(QChar(0xfeff)) + "x\n"}}}),
    NamedCase());
// clang-format on

} // namespace
