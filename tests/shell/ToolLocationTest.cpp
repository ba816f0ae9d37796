#include "ToolLocation.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace emberlin;

namespace {

enum class Place { Nowhere, Beside, Libexec, Both, BesideNotExecutable };

struct LocationCase {
    Place place;
    const char* expected; // relative to the scratch prefix
};

void putTool(const QString& path, bool executable) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
}

class ToolLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(ToolLocationTest, PrefersTheToolBesideTheExecutableThenTheInstalledOne) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QString beside = prefix.filePath(QStringLiteral("bin/emberlin-disctool"));
    const QString libexec = prefix.filePath(QStringLiteral("libexec/emberlin/emberlin-disctool"));

    const Place place = GetParam().place;
    if (place == Place::Beside || place == Place::Both)
        putTool(beside, true);
    if (place == Place::BesideNotExecutable)
        putTool(beside, false);
    if (place == Place::Libexec || place == Place::Both || place == Place::BesideNotExecutable)
        putTool(libexec, true);

    EXPECT_EQ(ToolLocation::candidates(bin), (QStringList{beside, libexec}));
    EXPECT_EQ(ToolLocation::find(bin), prefix.filePath(QString::fromUtf8(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(Places, ToolLocationTest,
                         ::testing::Values(LocationCase{Place::Nowhere, "bin/emberlin-disctool"},
                                           LocationCase{Place::Beside, "bin/emberlin-disctool"},
                                           LocationCase{Place::Libexec,
                                                        "libexec/emberlin/emberlin-disctool"},
                                           LocationCase{Place::Both, "bin/emberlin-disctool"},
                                           LocationCase{Place::BesideNotExecutable,
                                                        "libexec/emberlin/emberlin-disctool"}));

} // namespace
