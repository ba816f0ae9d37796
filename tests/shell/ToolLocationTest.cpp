#include "app/shell/ToolLocation.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace emberlin;

namespace {

struct LocationCase {
    const char* name;
    int beside; // 0: none, 1: not executable, 2: executable
    bool installed;
    const char* expected; // relative to the scratch prefix
};

void putTool(const QString& path, bool executable) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.setPermissions(executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
}

class ToolLocationTest : public testing::TestWithParam<LocationCase> {};

TEST_P(ToolLocationTest, PrefersTheToolBesideTheExecutableThenTheInstalledOne) {
    QTemporaryDir prefix;
    const QString bin = prefix.filePath("bin");
    QDir().mkpath(bin);
    const QString beside = prefix.filePath("bin/emberlin-disctool");
    const QString libexec = prefix.filePath("libexec/emberlin/emberlin-disctool");
    if (GetParam().beside > 0)
        putTool(beside, GetParam().beside == 2);
    if (GetParam().installed)
        putTool(libexec, true);
    EXPECT_EQ(ToolLocation::candidates(bin), (QStringList{beside, libexec}));
    EXPECT_EQ(ToolLocation::find(bin), prefix.filePath(QString::fromUtf8(GetParam().expected)));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, ToolLocationTest, testing::Values(
    LocationCase{"Nowhere", 0, false, "bin/emberlin-disctool"}, LocationCase{"Beside", 2, false, "bin/emberlin-disctool"},
    LocationCase{"Installed", 0, true, "libexec/emberlin/emberlin-disctool"}, LocationCase{"Both", 2, true, "bin/emberlin-disctool"},
    LocationCase{"BesideNotExecutable", 1, true, "libexec/emberlin/emberlin-disctool"}), NamedCase());
// clang-format on

} // namespace
