#include "BurnerListing.h"

#include "FakeToolScript.h"
#include "OutputLineAssembler.h"
#include "ProgressInterpreter.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <gmock/gmock.h>

using namespace FakeDirective;
using namespace std::chrono_literals;
using Result = ListingOutcome::Result;

namespace {

// What a listing leaves behind once its lines have gone through the listing
// rules, applied the way the window applies them.
struct Burners {
    QStringList titles;
    QStringList devices;
    BurnState state = BurnStateListing;
    QString status;
    QString unfinished;
};

struct ApplyListingEffect {
    Burners& burners;
    bool& expectBurnerName;
    void operator()(const effect::AddBurnerName& e) const { burners.titles << e.title; }
    void operator()(const effect::AddBurnerDevice& e) const { burners.devices << e.device; }
    void operator()(const effect::ToggleExpectBurnerName&) const {
        expectBurnerName = !expectBurnerName;
    }
    void operator()(const effect::SetBurnState& e) const { burners.state = e.state; }
    void operator()(const effect::ShowStatus& e) const { burners.status = e.text; }
    void operator()(const effect::ClearBurners&) const {
        burners.titles.clear();
        burners.devices.clear();
    }
    template <typename Other> void operator()(const Other&) const {
        ADD_FAILURE() << "a listing line had an effect of a burn";
    }
};

Burners burnersFrom(const QString& output) {
    Burners burners;
    bool expectBurnerName = true;
    assembleOutputLines(burners.unfinished, output, [&](const QString& line) {
        for (const InterpreterEffect& e :
             interpretLine(line, {burners.state, false, false, expectBurnerName})) {
            std::visit(ApplyListingEffect{burners, expectBurnerName}, e);
        }
    });
    return burners;
}

bool processIsGone(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH;
}

const QString NoDrives = QStringLiteral("no CD/DVD drives present");

} // namespace

TEST(BurnerListing, RunsTheToolAndReadsWhatItWrote) {
    struct Case {
        const char* what;
        QStringList transcript;
        QString output;
        QStringList titles;
        QStringList devices;
        BurnState state = BurnStateListing;
    };
    const Case cases[] = {
        {"empty output", {}, "", {}, {}},
        {"two burners",
         {line("PIONEER DVD-RW  DVR-XD11 via USB"), line("  1,0,0\t"),
          line("Aviation burner via FireWire"), line("2,0,0")},
         "PIONEER DVD-RW  DVR-XD11 via USB\n  1,0,0\t\nAviation burner via FireWire\n2,0,0\n",
         {"PIONEER DVD-RW  DVR-XD11 ", "A"},
         {"  1,0,0\t", "2,0,0"}},
        {"odd count",
         {line("One via USB"), line("1,0,0"), line("Two")},
         "One via USB\n1,0,0\nTwo\n",
         {"One ", "Two"},
         {"1,0,0"}},
        {"empty lines count", {line(""), line("1,0,0")}, "\n1,0,0\n", {""}, {"1,0,0"}},
        {"no line end at the end",
         {line("One via USB"), text("1,0,0")},
         "One via USB\n1,0,0",
         {"One "},
         {}},
        {"invalid UTF-8",
         {bytes("Dr\xff"
                "ve via USB\n"),
          line("1,0,0")},
         QString::fromUtf16(u"Dr\ufffdve via USB\n1,0,0\n"),
         {QString::fromUtf16(u"Dr\ufffdve ")},
         {"1,0,0"}},
        {"a character split across writes",
         {bytes("Br\xc3"), sleepFor(20),
          bytes("\xbb"
                "ler via USB\n"),
          line("1,0,0")},
         QString::fromUtf16(u"Br\u00fbler via USB\n1,0,0\n"),
         {QString::fromUtf16(u"Br\u00fbler ")},
         {"1,0,0"}},
        {"no drives after a pair",
         {line("One via USB"), line("1,0,0"), line(NoDrives), line("Two via USB")},
         "One via USB\n1,0,0\n" + NoDrives + "\nTwo via USB\n",
         {},
         {},
         BurnStateNoBurners},
        {"ends with an error status",
         {line("One via USB"), line("1,0,0"), exitWith(1)},
         "One via USB\n1,0,0\n",
         {"One "},
         {"1,0,0"}},
        {"dies without a word", {line("One via USB"), crash()}, "One via USB\n", {"One "}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeToolScript script;
        script.setListing(c.transcript);
        const ListingOutcome outcome = runBurnerListing(FakeToolScript::toolPath());
        EXPECT_EQ(outcome.result, Result::Completed);
        EXPECT_EQ(outcome.output, c.output);
        const Burners burners = burnersFrom(outcome.output);
        EXPECT_EQ(burners.titles, c.titles);
        EXPECT_EQ(burners.devices, c.devices);
        EXPECT_EQ(burners.state, c.state);
        EXPECT_EQ(script.calls(), (std::vector<QStringList>{{"burn", "-list"}}));
        ASSERT_EQ(script.pids().size(), 1u);
        EXPECT_TRUE(processIsGone(script.pids()[0]));
    }
}

TEST(BurnerListing, NoDrivesShowsTheNoBurnersMessage) {
    const Burners burners = burnersFrom(NoDrives + "\n");
    EXPECT_EQ(burners.state, BurnStateNoBurners);
    EXPECT_EQ(burners.status, "No available burners were found on your system.");
}

TEST(BurnerListing, ReadsOutputLargerThanAPipeHolds) {
    FakeToolScript script;
    QStringList transcript;
    QString expected;
    for (int i = 0; i < 20'000; ++i) {
        const QString burner = QStringLiteral("Burner number %1 via USB").arg(i);
        transcript << line(burner);
        expected += burner + u'\n';
    }
    script.setListing(transcript);
    const ListingOutcome outcome = runBurnerListing(FakeToolScript::toolPath());
    EXPECT_EQ(outcome.result, Result::Completed);
    EXPECT_EQ(outcome.output, expected);
}

TEST(BurnerListing, AToolThatCannotStart) {
    FakeToolScript script;
    const QString folder = script.folder();
    QFile notExecutable(folder + "/not-executable");
    ASSERT_TRUE(notExecutable.open(QIODevice::WriteOnly));
    notExecutable.write("#!/bin/sh\necho hello\n");
    notExecutable.close();
    notExecutable.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QFile notAProgram(folder + "/not-a-program");
    ASSERT_TRUE(notAProgram.open(QIODevice::WriteOnly));
    notAProgram.write("\x01\x02 garbage");
    notAProgram.close();
    notAProgram.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

    const QString paths[] = {folder + "/missing", notExecutable.fileName(), notAProgram.fileName(),
                             folder, ""};
    for (const QString& path : paths) {
        const ListingOutcome outcome = runBurnerListing(path);
        EXPECT_EQ(outcome.result, Result::FailedToStart) << path.toStdString();
        EXPECT_EQ(outcome.output, "") << path.toStdString();
    }
}

TEST(BurnerListing, AHangingToolIsStoppedAtTheTimeLimit) {
    FakeToolScript script;
    script.setListing({line("Half a burner via USB"), hang()});
    const ListingOutcome outcome = runBurnerListing(FakeToolScript::toolPath(), 300ms);
    EXPECT_EQ(outcome.result, Result::TimedOut);
    EXPECT_EQ(outcome.output, "Half a burner via USB\n");
    ASSERT_EQ(script.pids().size(), 1u);
    EXPECT_TRUE(processIsGone(script.pids()[0]));
}
