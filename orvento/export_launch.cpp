// export_launch.cpp: starts doom32.exe for a solo, hosted or joined game through the response
// file and the command line.
#include <optional>
#include <string>

#include "frame/engine_session.h"
#include "frame/files.h"
#include "frame/address_list.h"
#include "frame/export_bodies.h"
#include "frame/messages.h"
#include "frame/paths.h"
#include "orvento/demo_choice.h"
#include "orvento/demo_filing.h"
#include "orvento/exports.h"
#include "orvento/game_session.h"
#include "orvento/launch_text.h"
#include "orvento/names.h"
#include "orvento/setting_keys.h"

namespace {

// An address entry is taken whole: its 16-bit length can be no larger.
constexpr std::size_t kAddressEntryMax = 32767;

// The extra files the user chose, split into -file and -deh.
orvento::ExtraFiles read_extra_files(frame::PathReader& paths) {
    orvento::ExtraFiles files;
    for (const frame::ChosenFile& file : paths.chosen_files()) orvento::add_extra_file(files, file.lower_path, file.argument);
    return files;
}

// A recording no finish filed (the launcher went away mid-game) would be recorded over by this
// game: it moves to the first free numbered name first, and the user is told once. The move comes
// before any search for the recording, so one the search would miss is not recorded over; only a
// failed move asks whether there was one. A game whose own demo is that very file replaces it at
// its finish, as a demo of its name always is.
bool keep_unfiled_recording(frame::PathReader& paths, const std::string& folder) {
    const std::string recording = orvento::recording_path(folder);
    const orvento::DemoChoice demo = orvento::read_demo_choice(paths);
    if (demo.name_held && demo.target == recording) return true;
    std::string kept_as;
    const std::string stem = orvento::unfiled_recording_stem(folder);
    if (frame::move_to_free_name(recording, stem, orvento::kDemoExtension, &kept_as)) {
        frame::show_message(orvento::kPluginName, orvento::unfiled_recording_kept_message(recording, kept_as).c_str());
        return true;
    }
    if (!frame::FileExists(recording)) return true;
    frame::show_message(orvento::kPluginName,
                        orvento::unfiled_recording_not_moved_message(recording, kept_as).c_str());
    return false;
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_LaunchMultiplayer(int iwad, int hostEntry, int ownEntry, int /*reserved*/,
                                                  const void* addresses) {
    frame::guarded_void([&] {
        frame::EngineSession& session = orvento::game_session();
        // Nothing of an earlier game is left to put back by this game's finish.
        session.forget_earlier_launch();

        frame::PathReader paths(orvento::kPluginName);
        const std::string folder = paths.engine_path(orvento::setting::engine_folder);
        const orvento::ExtraFiles files = read_extra_files(paths);

        std::optional<std::string> join_address;
        if (hostEntry != ownEntry) {
            std::string address;
            frame::ReadCountedString(addresses, hostEntry, &address, kAddressEntryMax);
            join_address = address;
        }
        orvento::LauncherSettings settings;
        const orvento::LaunchText text = orvento::build_launch(settings, iwad, files, join_address);

        if (!session.command_lines_fit(folder, {text.command_line})) return;
        if (text.records && !keep_unfiled_recording(paths, folder)) {
            session.stop_launch();
            return;
        }
        if (!session.back_up_response_file(folder)) return;
        if (!session.write_response_file(folder, text.response)) return;
        session.save_highlight();
        session.start_engine(folder, text.command_line);
    });
}
