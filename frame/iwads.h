// iwads.h: the IWAD numbers the launcher and the engines share, with their file names.
//
// One table: Brannock's engine runs every row, Orvento's the rows it marks (with the bit each
// gives in the launcher's IWAD mask). The stand-in launcher reads the same table.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace frame {

struct IwadRow {
    int number;            // shared with the launcher
    const char* file;      // lower-case file name
    bool orvento;          // in Orvento's table too
    unsigned orvento_mask; // Orvento's IWAD mask bit for the launcher, 0 when not in its table
};

// All 19 rows, in number order.
inline constexpr std::array<IwadRow, 19> kIwadTable{{
    {1, "doom.wad", true, 0x01},
    {2, "doom1.wad", true, 0x80},
    {3, "freedoomu.wad", false, 0},
    {4, "doom2.wad", true, 0x02},
    {5, "tnt.wad", true, 0x08},
    {6, "plutonia.wad", true, 0x04},
    {7, "freedoom.wad", false, 0},
    {8, "freedm.wad", true, 0x40},
    {9, "heretic.wad", false, 0},
    {10, "heretic1.wad", false, 0},
    {11, "blasphem.wad", false, 0},
    {12, "hexen.wad", false, 0},
    {13, "hexdd.wad", false, 0},
    {14, "strife0.wad", false, 0},
    {15, "strife1.wad", false, 0},
    {16, "chex.wad", false, 0},
    {17, "chex3.wad", false, 0},
    {18, "action2.wad", false, 0},
    {19, "megagame.wad", false, 0},
}};
std::span<const IwadRow> iwad_table();

// The number the launcher uses for an IWAD outside the table.
constexpr int kUnknownIwad = 20;

// The launcher's IWAD mask of an engine that runs every IWAD of the table: bit n - 1 for IWAD n.
constexpr unsigned kAllIwadsMask = 0x7FFFF;
constexpr unsigned mask_of_every_row() {
    unsigned mask = 0;
    for (const IwadRow& row : kIwadTable) mask |= 1u << (row.number - 1);
    return mask;
}
static_assert(kAllIwadsMask == mask_of_every_row() && kIwadTable.size() == kUnknownIwad - 1,
              "the all-IWADs mask has one bit per row of the IWAD table");

// The row of `number`; null outside the table.
const IwadRow* find_iwad(int number);
// Assigns the file name of `number` to `target`; a number outside the table leaves `target`
// unchanged and gives false.
bool IwadFileName(int number, std::string* target);
// The number of a lower-case IWAD file name in the table, kUnknownIwad when none.
int iwad_number(std::string_view file);

}  // namespace frame
