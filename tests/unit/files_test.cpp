// files_test.cpp: file existence and the response file's backup and restore (frame/files.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/files.h"
#include "tests/support/test_paths.h"

namespace {

class BackupRestore : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_support::scratch_dir("backup");
        file_ = dir_ + "doomargs.tmp";
        backup_ = file_ + ".bak";
    }
    bool exists(const std::string& path) { return frame::FileExists(path); }
    std::string dir_, file_, backup_;
};

TEST_F(BackupRestore, BackupOfAMissingFileTouchesNothing) {
    test_support::write_file(backup_, "old backup");
    frame::BackupFile(file_);
    EXPECT_FALSE(exists(file_));
    EXPECT_EQ(test_support::read_file(backup_), "old backup");
}

// An older backup may be the user's file from a game that never finished: a second backup keeps
// it and leaves the new file where it is.
TEST_F(BackupRestore, SecondBackupKeepsTheFirstAndLeavesTheNewFile) {
    test_support::write_file(file_, "first");
    EXPECT_EQ(frame::BackupFile(file_), frame::Backup::moved_aside);
    EXPECT_FALSE(exists(file_));
    test_support::write_file(file_, "second");
    EXPECT_EQ(frame::BackupFile(file_), frame::Backup::backup_there);
    EXPECT_EQ(test_support::read_file(file_), "second");
    EXPECT_EQ(test_support::read_file(backup_), "first");
}

// The first numbered name no file has; the move never replaces one the search missed.
TEST_F(BackupRestore, MoveToFreeNameTakesTheFirstNumberNotInUse) {
    struct Case {
        std::vector<std::string> taken;
        const char* expected;
    };
    const Case cases[] = {{{}, ".1"}, {{".1"}, ".2"}, {{".1", ".2", ".4"}, ".3"}, {{".2"}, ".1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::string dir = test_support::scratch_dir("numbered");
        const std::string file = dir + "doomargs.tmp";
        test_support::write_file(file, "mine");
        for (const std::string& name : c.taken) test_support::write_file(file + name, "taken");
        std::string moved_to;
        EXPECT_TRUE(frame::move_to_free_name(file, file + ".", "", &moved_to));
        EXPECT_EQ(moved_to, file + c.expected);
        EXPECT_EQ(test_support::read_file(moved_to), "mine");
        EXPECT_FALSE(exists(file));
        for (const std::string& name : c.taken) EXPECT_EQ(test_support::read_file(file + name), "taken");
    }
}

TEST_F(BackupRestore, RestoreBringsBackTheContentFromBeforeTheBackup) {
    test_support::write_file(file_, "user's own arguments");
    frame::BackupFile(file_);
    test_support::write_file(file_, "written for the game");
    frame::RestoreFile(dir_, "doomargs.tmp");
    EXPECT_EQ(test_support::read_file(file_), "user's own arguments");
    EXPECT_FALSE(exists(backup_));
}

TEST_F(BackupRestore, RestoreWithoutBackupLeavesTheFile) {
    test_support::write_file(file_, "current");
    frame::RestoreFile(dir_, "doomargs.tmp");
    EXPECT_EQ(test_support::read_file(file_), "current");
}

TEST_F(BackupRestore, RestoreWithoutCurrentFileRenamesTheBackup) {
    test_support::write_file(backup_, "saved");
    frame::RestoreFile(dir_, "doomargs.tmp");
    EXPECT_EQ(test_support::read_file(file_), "saved");
    EXPECT_FALSE(exists(backup_));
}

TEST(FileExists, FolderAndNameAreJoinedAsTheyAre) {
    const std::string dir = test_support::scratch_dir("joined");
    const std::string bare = dir.substr(0, dir.size() - 1);   // without its separator
    test_support::write_file(dir + "doom32.exe", "x");
    EXPECT_TRUE(frame::FileExists(dir, "doom32.exe"));
    EXPECT_FALSE(frame::FileExists(bare, "doom32.exe"));
    test_support::write_file(bare + "doom32.exe", "x");   // a sibling named folder+file
    EXPECT_TRUE(frame::FileExists(bare, "doom32.exe"));
    EXPECT_FALSE(frame::FileExists(dir, "missing.wad"));
}

}  // namespace
