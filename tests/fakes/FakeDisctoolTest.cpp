#include "FakeToolScript.h"

#include <QProcess>
#include <csignal>
#include <gmock/gmock.h>

using namespace FakeDirective;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

struct ToolRun {
    QByteArray output;
    QProcess::ExitStatus exitStatus;
    int exitCode;
};

ToolRun runTool(const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(FakeToolScript::toolPath(), arguments);
    EXPECT_TRUE(tool.waitForFinished(20000));
    return {tool.readAll(), tool.exitStatus(), tool.exitCode()};
}

} // namespace

TEST(FakeDisctool, RecordsEachCallsArgumentsWithBlanksAndTabsIntact) {
    FakeToolScript script;
    runTool({"burn", "-list"});
    runTool({"burn", "/tmp/my image\t1.iso", "", "-device", " 1,0,0 "});
    runTool({});
    EXPECT_THAT(script.calls(),
                ElementsAre(QStringList{"burn", "-list"},
                            QStringList{"burn", "/tmp/my image\t1.iso", "", "-device", " 1,0,0 "},
                            QStringList{}));
    EXPECT_EQ(script.pids().size(), 3u);
}

TEST(FakeDisctool, ReplaysTheListingOnlyForTheListingArguments) {
    FakeToolScript script;
    script.setListing({line("Listed"), "# a comment", "", line(" two  blanks ")});
    script.setBurn({text("Please insert a disc:"), bytes("\xff\n"), line("")});
    EXPECT_EQ(runTool({"burn", "-list"}).output, "Listed\n two  blanks \n");
    EXPECT_EQ(runTool({"burn", "-list", "-extra"}).output, "Please insert a disc:\xff\n\n");
    EXPECT_EQ(runTool({"burn", "x.iso"}).output, "Please insert a disc:\xff\n\n");
}

TEST(FakeDisctool, WithoutTranscriptSaysNothingAndSucceeds) {
    FakeToolScript script;
    const ToolRun run = runTool({"burn", "-list"});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 0);
}

TEST(FakeDisctool, EndsAsTheTranscriptSays) {
    struct Case {
        QStringList transcript;
        QProcess::ExitStatus exitStatus;
        int exitCode;
        QByteArray output;
    };
    const Case cases[] = {
        {{line("a"), sleepFor(20), line("b")}, QProcess::NormalExit, 0, "a\nb\n"},
        {{line("a"), exitWith(3), line("never")}, QProcess::NormalExit, 3, "a\n"},
        {{line("a"), crash(), line("never")}, QProcess::CrashExit, -1, "a\n"},
        {{"frobnicate 3"},
         QProcess::NormalExit,
         2,
         "emberlin-fake-disctool: malformed directive: frobnicate 3\n"},
    };
    for (const Case& c : cases) {
        FakeToolScript script;
        script.setBurn(c.transcript);
        const ToolRun run = runTool({"burn"});
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.transcript.join(" | ").toStdString();
        if (c.exitStatus == QProcess::NormalExit) {
            EXPECT_EQ(run.exitCode, c.exitCode);
        }
        EXPECT_EQ(run.output, c.output);
    }
}

TEST(FakeDisctool, RecordsSignalsAndExitsOnThem) {
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        for (const bool delayed : {false, true}) {
            FakeToolScript script;
            QStringList transcript{line("waiting"), hang()};
            if (delayed) {
                transcript.prepend(abortDelay(50));
            }
            script.setBurn(transcript);
            QProcess tool;
            tool.start(FakeToolScript::toolPath(), {"burn"});
            ASSERT_TRUE(script.waitUntil([&] { return script.calls().size() == 1; }));
            ::kill(static_cast<pid_t>(script.pids().at(0)), signalNumber);
            ASSERT_TRUE(tool.waitForFinished(20000));
            EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(tool.exitCode(), 128 + signalNumber);
            EXPECT_THAT(script.signalsReceived(), ElementsAre(signalNumber));
        }
    }
}

TEST(FakeDisctool, ASignalDuringASleepEndsIt) {
    FakeToolScript script;
    script.setBurn({abortDelay(0), sleepFor(600000), line("never")});
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(FakeToolScript::toolPath(), {"burn"});
    ASSERT_TRUE(script.waitUntil([&] { return script.calls().size() == 1; }));
    ::kill(static_cast<pid_t>(script.pids().at(0)), SIGTERM);
    ASSERT_TRUE(tool.waitForFinished(20000));
    EXPECT_EQ(tool.exitCode(), 128 + SIGTERM);
    EXPECT_EQ(tool.readAll(), "");
}

TEST(FakeDisctool, WithoutFolderRecordsNothing) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("EMBERLIN_FAKE_DIR");
    tool.setProcessEnvironment(environment);
    tool.start(FakeToolScript::toolPath(), {"burn", "-list"});
    ASSERT_TRUE(tool.waitForFinished(20000));
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(tool.readAll(), "");
}

TEST(FakeToolScript, SetsTheFolderForChildrenWhileItLives) {
    QString folder;
    {
        FakeToolScript script;
        folder = script.folder();
        EXPECT_EQ(qEnvironmentVariable("EMBERLIN_FAKE_DIR"), folder);
        EXPECT_EQ(script.environment().value("EMBERLIN_FAKE_DIR"), folder);
        EXPECT_THAT(script.calls(), IsEmpty());
        EXPECT_THAT(script.signalsReceived(), IsEmpty());
    }
    EXPECT_FALSE(qEnvironmentVariableIsSet("EMBERLIN_FAKE_DIR"));
    EXPECT_FALSE(QFile::exists(folder));
}

TEST(FakeToolScript, InstalledCopyRunsUnderTheToolsName) {
    FakeToolScript script;
    QTemporaryDir appFolder;
    const QString copy = FakeToolScript::installTool(appFolder.path());
    ASSERT_EQ(copy, appFolder.filePath("emberlin-disctool"));
    script.setListing({line("from the copy")});
    QProcess tool;
    tool.start(copy, {"burn", "-list"});
    ASSERT_TRUE(tool.waitForFinished(20000));
    EXPECT_EQ(tool.readAll(), "from the copy\n");
}
