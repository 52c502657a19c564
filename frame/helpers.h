// helpers.h: small stateless routines both plug-ins share.
//
// The IWAD numbering with its file names (one table; Orvento uses the rows it marks), file
// existence, backup and restore of the response file, and the removal of colour escapes and of
// single characters from texts. Reading of packet bytes lives with the server browser.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace frame {

enum class Plugin { brannock, orvento };

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

// Assigns the file name of `number` to `target`; a number outside the plug-in's table leaves
// `target` unchanged and gives false.
bool IwadFileName(Plugin plugin, int number, std::string* target);
// The number of a lower-case IWAD file name in Brannock's table, kUnknownIwad when none.
int IwadNumber(std::string_view file);

// True when a directory search for the path finds an entry.
bool FileExists(const std::string& path);
// Folder and name are joined as they are: no separator is added.
bool FileExists(std::string_view folder, std::string_view name);

enum class Backup { no_file, moved_aside, failed };
// Moves an existing file aside to "<path>.bak", replacing an older backup. `failed` leaves the
// file where it is: an older backup that cannot be deleted makes the rename fail too.
Backup BackupFile(const std::string& path);
// True when "<path>.bak" is found.
bool BackupExists(const std::string& path);
// Puts "<folder><name>.bak" back in place of "<folder><name>", replacing it. False when the backup
// cannot be moved (or there is none): the backup stays as it is.
bool RestoreFile(std::string_view folder, std::string_view name);

// Longest short (8.3) path the engine gets (a 260-character buffer with its zero); a longer answer
// does not count as a short form.
constexpr std::size_t kShortPathMax = 259;

// `text` written so that a Windows command line (CommandLineToArgvW) and the engine's response
// file give it back as exactly one argument: bare when it has no blank, tab or double quote and
// is not empty, else in double quotes with each quote escaped and the backslashes before a quote
// or the closing quote doubled.
std::string one_argument(std::string_view text);

// What names one extra game file to an engine: its short form when the system has one, else the
// full path, as one argument (one_argument), so a missing file is named to the user instead of
// dropping out, and no name can add an argument of its own.
std::string file_argument(std::string_view full_path, const std::optional<std::string>& short_form);
// The same with the short form asked of the file system for `lookup_path`.
std::string short_file_argument(const std::string& lookup_path, std::string_view full_path);

// A server's map, IWAD or file name, or an address, is one word wherever it goes onto an engine's
// line: it ends at its first blank, tab or control byte, so a stranger's text cannot add options.
std::string_view single_word(std::string_view text);
// A server's text that becomes one argument of an engine: its single_word. None when that word
// would be read as more than a name: a leading '-' or '+' starts an option or a console command,
// a leading '@' names a response file, and a double quote opens or closes a quoted part. No file
// the engine should load, no map and no address is named so.
std::optional<std::string_view> server_argument(std::string_view text);

// Windows takes a command line of at most 32,767 characters with its terminating zero; a longer
// one starts nothing.
constexpr std::size_t kCommandLineMax = 32767;
// The length of the line Windows builds to start `program` with `parameters`: the program in
// double quotes, a blank, the parameters.
std::size_t command_line_length(std::string_view program, std::string_view parameters);

// Case of ASCII letters only; every other byte stays as it is.
void to_upper_ascii(std::span<char> text);
void to_lower_ascii(std::span<char> text);

// Removes every colour escape (byte 0x1C and the byte after it) in place; gives the length kept.
std::size_t StripColorCodes(std::span<char> text);

}  // namespace frame
