#include "common/ShippedFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/ProgramFolder.h"

using namespace zr410;

namespace {

// The layout the package installs: prefix/bin beside prefix/share/zr410/Help.
struct InstallTree {
    QTemporaryDir root;
    InstallTree() {
        QDir().mkpath(bin());
        QDir().mkpath(help());
    }
    QString bin() const { return root.filePath("usr/bin"); }
    QString help() const { return root.filePath("usr/share/zr410/Help"); }
};

void putProgram(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { qputenv(name_, old_); }

private:
    const char* name_;
    QByteArray old_;
};

}  // namespace

TEST(ShippedFiles, InstalledProgramFindsHelpInTheInstallTreeAndKeepsSettingsPerUser) {
    InstallTree tree;
    QTemporaryDir dataHome;
    ScopedEnv xdg("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    EXPECT_EQ(FindHelpFolder(tree.bin()), tree.help());
    // Its bin folder is writable here, as /usr/bin is for root: settings still stay out of it.
    EXPECT_EQ(ChooseProgramFolder(tree.bin()), dataHome.filePath("ZR410"));
    EXPECT_FALSE(QDir(dataHome.filePath("ZR410")).exists()) << "choosing creates nothing";
}

TEST(ShippedFiles, ProgramInAFolderOfItsOwnKeepsEverythingBesideIt) {
    QTemporaryDir folder;
    EXPECT_EQ(ChooseProgramFolder(folder.path()), folder.path());
    EXPECT_EQ(FindHelpFolder(folder.path()), folder.filePath("Help"))
        << "a missing help folder is named where it was expected";

    InstallTree tree;
    QDir().mkpath(tree.bin() + "/Help");
    EXPECT_EQ(FindHelpFolder(tree.bin()), tree.bin() + "/Help") << "beside the program first";
}

TEST(ShippedFiles, ReadOnlyProgramFolderFallsBackToThePerUserFolder) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root can write into a read-only folder";
    }
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ChooseProgramFolder(folder.path()), PerUserFolder());
    QFile::setPermissions(folder.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(ShippedFiles, ViewerIsStartedFromBesideThisProgramElseFromThePath) {
    QTemporaryDir here, elsewhere;
    putProgram(elsewhere.filePath("ZR410_Graph"));
    {
        ScopedEnv path("PATH", elsewhere.path().toLocal8Bit());
        EXPECT_EQ(FindCompanionProgram(here.path(), "ZR410_Graph"),
                  elsewhere.filePath("ZR410_Graph"));
        putProgram(here.filePath("ZR410_Graph"));
        EXPECT_EQ(FindCompanionProgram(here.path(), "ZR410_Graph"), here.filePath("ZR410_Graph"));
    }
    ScopedEnv path("PATH", "/nonexistent");
    EXPECT_EQ(FindCompanionProgram(here.path(), "zr410-nowhere"), here.filePath("zr410-nowhere"))
        << "a program found nowhere is named where it was expected";
}
