// iwads_test.cpp: the frame's IWAD table, held against the launcher's list typed in apart.
#include <gtest/gtest.h>

#include <string>

#include "frame/iwads.h"
#include "orvento/engine_check.h"
#include "tests/support/expected_tables.h"

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
    EXPECT_FALSE(frame::IwadFileName(expected::kUnknownIwad, &target));
    EXPECT_FALSE(frame::IwadFileName(-1, &target));
    EXPECT_EQ(target, "kept");
    EXPECT_EQ(orvento::iwad_file(-1), nullptr);
    EXPECT_EQ(orvento::iwad_file(expected::kUnknownIwad), nullptr);

    EXPECT_EQ(frame::iwad_number("mygame.wad"), expected::kUnknownIwad);
    EXPECT_EQ(frame::iwad_number(""), expected::kUnknownIwad);
    EXPECT_EQ(frame::iwad_number("doom2.wa"), expected::kUnknownIwad);
}

}  // namespace
