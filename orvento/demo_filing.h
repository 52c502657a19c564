// demo_filing.h: where the engine's recording goes when an Orvento game ends.
//
// The engine always records into one file in its own folder (orvento/names.h); the finish moves
// it to the demo folder under the name the user chose. These functions decide the names; the export that moves
// the file lives in export_finish.cpp.
#pragma once

#include <string>
#include <string_view>

namespace orvento {

// The engine's recording in `engine_folder`.
std::string recording_path(std::string_view engine_folder);
// A demo folder shorter than this (empty, or a bare drive such as "D:") means the engine folder.
constexpr std::size_t kDemoFolderMin = 3;

// The folder the demo is filed in: `demo_folder`, or the engine folder when it is too short.
bool uses_engine_folder(std::string_view demo_folder);

// Folder + name, with kDemoExtension added unless the fourth character from the end is a full stop.
std::string demo_target(std::string_view folder, std::string_view demo_name);

// The numbered names a recording no finish filed is kept under before a new game records:
// "<engine folder>tempdemo-N.lmp", N from 1.
std::string unfiled_recording_stem(std::string_view engine_folder);
// The sentence shown once when such a recording is kept as `kept_as`.
std::string unfiled_recording_kept_message(std::string_view recording, std::string_view kept_as);
// The sentence shown when it cannot be moved to `target` and nothing starts.
std::string unfiled_recording_not_moved_message(std::string_view recording, std::string_view target);

// The one sentence shown when the recording (recording_path) stays where the
// engine left it.
std::string demo_not_filed_message(std::string_view target, std::string_view recording);
// The same when the demo name has characters the system's code page cannot hold.
std::string demo_name_lost_message(std::string_view recording);

}  // namespace orvento
