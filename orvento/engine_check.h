// engine_check.h: what Orvento looks for in the engine folder before a game.
//
// The IWADs the engine can run (probed in its own order, each giving a bit of the launcher's IWAD
// mask) and the messages shown when the folder is not usable; the engine's name is in names.h. The
// exports that report to the launcher live in export_checks.cpp; the check itself is the frame's
// (frame/engine_checks.h).
#pragma once

#include <string>
#include <string_view>

namespace orvento {

// Shown after the engine's file name (names.h) when the engine is not in the folder.
constexpr const char* kMissingEngineTail =
    " could not be found in the engine location you specified.\n"
    "Please make sure you selected the right folder!";
constexpr const char* kNoIwadMessage =
    "No valid IWAD file could be found in the engine location you specified.\n"
    "Please make sure you have put your IWAD files in your Orvento or Orvento iwads folder!";

// The message shown when the engine is not in the folder: its file name, then kMissingEngineTail.
std::string missing_engine_message();

// The file name of IWAD `number` when it is in Orvento's table (the rows the frame's IWAD table
// marks); null for any other number.
const char* iwad_file(int number);

// The launcher's IWAD mask of every Orvento IWAD present in `folder` (names appended as they
// are); 0 when there is none.
unsigned probe_iwads(std::string_view folder);

}  // namespace orvento
