// helpers_test.cpp: the IWAD table, response-file backup and restore, and the text clean-ups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/files.h"
#include "frame/iwads.h"
#include "frame/text_bytes.h"
#include "orvento/engine_check.h"
#include "tests/support/expected_tables.h"
#include "tests/support/test_paths.h"

namespace {

TEST(IwadTable, HoldsNineteenRowsInNumberOrderWithOrventosMaskBits) {
    const auto table = frame::iwad_table();
    ASSERT_EQ(table.size(), 19u);
    unsigned mask_union = 0;
    int orvento_rows = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const frame::IwadRow& row = table[i];
        EXPECT_EQ(row.number, static_cast<int>(i) + 1);
        if (!row.orvento) {
            EXPECT_EQ(row.orvento_mask, 0u) << row.file;
            continue;
        }
        ++orvento_rows;
        EXPECT_EQ(row.orvento_mask & (row.orvento_mask - 1), 0u) << row.file << " has one bit";
        EXPECT_EQ(mask_union & row.orvento_mask, 0u) << row.file << " shares a bit";
        mask_union |= row.orvento_mask;
    }
    EXPECT_EQ(orvento_rows, 6);
    EXPECT_EQ(mask_union, 0xCFu);
    EXPECT_EQ(table[0].orvento_mask, 0x01u);   // doom.wad
    EXPECT_EQ(table[1].orvento_mask, 0x80u);   // doom1.wad
    EXPECT_EQ(table[3].orvento_mask, 0x02u);   // doom2.wad
    EXPECT_EQ(table[4].orvento_mask, 0x08u);   // tnt.wad
    EXPECT_EQ(table[5].orvento_mask, 0x04u);   // plutonia.wad
    EXPECT_EQ(table[7].orvento_mask, 0x40u);   // freedm.wad
}

// Every number both ways, for both plug-ins, against the names typed in from the launcher's list.
TEST(IwadTable, FileNamesAndNumbersByPlugin) {
    for (const expected::Iwad& iwad : expected::kIwads) {
        std::string target = "kept";
        EXPECT_TRUE(frame::IwadFileName(iwad.number, &target)) << iwad.number;
        EXPECT_EQ(target, iwad.file) << iwad.number;
        const char* orvento_file = orvento::iwad_file(iwad.number);
        EXPECT_EQ(std::string(orvento_file ? orvento_file : "none"), iwad.orvento ? iwad.file : "none") << iwad.number;
        EXPECT_EQ(frame::iwad_number(iwad.file), iwad.number) << iwad.file;
    }

    std::string target = "kept";
    EXPECT_FALSE(frame::IwadFileName(0, &target));
    EXPECT_FALSE(frame::IwadFileName(21, &target));
    EXPECT_FALSE(frame::IwadFileName(frame::kUnknownIwad, &target));
    EXPECT_FALSE(frame::IwadFileName(-1, &target));
    EXPECT_EQ(target, "kept");
    EXPECT_EQ(orvento::iwad_file(-1), nullptr);
    EXPECT_EQ(orvento::iwad_file(frame::kUnknownIwad), nullptr);

    EXPECT_EQ(frame::iwad_number("mygame.wad"), frame::kUnknownIwad);
    EXPECT_EQ(frame::iwad_number(""), frame::kUnknownIwad);
    EXPECT_EQ(frame::iwad_number("doom2.wa"), frame::kUnknownIwad);
}

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

TEST(StripColorCodes, RemovesEachEscapeWithItsLetter) {
    auto stripped = [](std::string text) {
        text.resize(frame::StripColorCodes(std::span<char>(text)));
        return text;
    };
    EXPECT_EQ(stripped("\x1C" "Ared\x1C" "B \x1C\x1C" "Cblue"), "red Cblue");   // an escape eats the escape after it
    EXPECT_EQ(stripped("\x1C" "A\x1C" "B\x1C" "C"), "");
    EXPECT_EQ(stripped("name\x1C"), "name");   // an escape as the last byte goes alone
    EXPECT_EQ(stripped("plain name"), "plain name");
}

}  // namespace

// ---- the stand-in launcher's port texts ---------------------------------------------------------
#include "host/udp.h"

TEST(HostPortText, OnlyDecimalOneToMaxIsAPort) {
    EXPECT_EQ(host::port_number("1"), 1);
    EXPECT_EQ(host::port_number("65535"), 65535);
    for (const char* bad : {"0", "65536", "99999", "", "-1", "80x", " 80", "4294967377"})
        EXPECT_FALSE(host::port_number(bad)) << bad;
    EXPECT_EQ(host::split_host_port("master.example:15300"), std::make_pair(std::string("master.example"), uint16_t{15300}));
    EXPECT_FALSE(host::split_host_port("master.example"));
    EXPECT_FALSE(host::split_host_port(":15300"));
}
