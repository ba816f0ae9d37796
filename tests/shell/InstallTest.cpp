#include "app/shell/ToolLocation.h"
#include "tests/shell/ScratchApp.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>

using namespace emberlin;

namespace {

const QString appId = "org.emberlin.Emberlin";

// The build installed into a scratch prefix, as a packager would.
class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefix_.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QString(EMBERLIN_CMAKE),
                      {"--install", QString(EMBERLIN_BUILD_DIR), "--prefix", prefix_.path()});
        ASSERT_TRUE(install.waitForFinished(120000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    }

    QString installed(const QString& relative) const { return prefix_.filePath(relative); }

    // Runs a validator on an installed file; an empty result means it passed.
    static QString validate(const QString& program, const QStringList& arguments) {
        QProcess validator;
        validator.setProcessChannelMode(QProcess::MergedChannels);
        validator.start(program, arguments);
        if (!validator.waitForFinished(60000))
            return "did not finish";
        if (validator.exitStatus() == QProcess::NormalExit && validator.exitCode() == 0)
            return {};
        return QString::fromUtf8(validator.readAll());
    }

    QTemporaryDir prefix_;
};

TEST_F(InstallTest, PutsTheDesktopFilesWhereTheDesktopLooksAndTheyValidate) {
    const QString desktopEntry = installed("share/applications/" + appId + ".desktop");
    const QString metainfo = installed("share/metainfo/" + appId + ".metainfo.xml");
    for (const QString& file : {installed("bin/emberlin"), desktopEntry, metainfo,
                                installed("share/icons/hicolor/scalable/apps/" + appId + ".svg"),
                                installed("share/mime/packages/" + appId + ".xml")})
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();

    const QString desktopValidator = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstreamValidator = QStandardPaths::findExecutable("appstreamcli");
    if (desktopValidator.isEmpty() || appstreamValidator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed";
    EXPECT_EQ(validate(desktopValidator, {desktopEntry}), QString());
    EXPECT_EQ(validate(appstreamValidator, {"validate", "--no-net", metainfo}), QString());
}

TEST_F(InstallTest, TheInstalledAppFindsTheInstalledTool) {
    const QString bin = installed("bin");
    const QString toolFolder = installed("libexec/emberlin");
    const QString tool = QDir(toolFolder).filePath("emberlin-disctool");
#ifdef EMBERLIN_INSTALLS_TOOL
    ASSERT_TRUE(QFileInfo(tool).isExecutable()) << tool.toStdString();
#endif

    // The stand-in in the installed tool's place records that the app ran it.
    QDir().mkpath(toolFolder);
    ASSERT_FALSE(FakeToolScript::installTool(toolFolder).isEmpty());
    EXPECT_EQ(ToolLocation::find(bin), tool);
    ScratchApp app(installed("bin/emberlin"), ScratchApp::Layout::AsItIs);
    app.tool().setListing({fake::say("Alpha Writer via USB\nIOService:/alpha\n")});
    QProcess& running = app.launch();
    ASSERT_TRUE(app.waitForCalls(1));
    EXPECT_EQ(app.tool().calls()[0], (QStringList{"burn", "-list"}));
    ::kill(static_cast<pid_t>(running.processId()), SIGTERM);
    EXPECT_TRUE(endsCleanly(running));
}

} // namespace
