// export_launch.cpp: starts doom32.exe for a solo, hosted or joined game through the response
// file and the command line.
#include <optional>
#include <string>

#include "frame/engine_process.h"
#include "frame/frame.h"
#include "frame/helpers.h"
#include "orvento/engine_check.h"
#include "orvento/exports.h"
#include "orvento/game_state.h"
#include "orvento/launch_text.h"
#include "platform/platform.h"

namespace {

// An address entry is taken whole: its 16-bit length can be no larger.
constexpr std::size_t kAddressEntryMax = 32767;

// The extra files the user chose, split into -file and -deh, each named by its short form.
orvento::ExtraFiles read_extra_files() {
    orvento::ExtraFiles files;
    const int count = frame::host<Host_GetFileCount_t>(kSlotGetFileCount)(frame::host_handle());
    for (int index = 0; index < count; ++index) {
        const HostTextCopy path = GetChosenFile(index);
        std::string lower = path.str();
        frame::to_lower_ascii(lower);
        orvento::add_extra_file(files, lower, frame::short_file_argument(lower, path.view()));
    }
    return files;
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_LaunchMultiplayer(int iwad, int hostEntry, int ownEntry, int /*reserved*/,
                                                  const void* addresses) {
    frame::guarded_void([&] {
        orvento::GameState& state = orvento::game_state();
        // Nothing of an earlier game is left to put back by this game's finish.
        frame::forget_process(&state.engine);
        state.saved_colour.reset();

        const HostTextCopy folder_copy = GetEngineText("general", "enginepath");
        const std::string folder = folder_copy.str();
        const orvento::ExtraFiles files = read_extra_files();

        std::optional<std::string> join_address;
        if (hostEntry != ownEntry) {
            std::string address;
            ReadCountedString(addresses, hostEntry, &address, kAddressEntryMax);
            join_address = address;
        }
        orvento::LauncherSettings settings;
        const orvento::LaunchText text = orvento::build_launch(settings, iwad, files, join_address);

        const std::string response_path = folder + orvento::kResponseFile;
        frame::BackupFile(response_path);
        if (!platform::write_text_file(response_path, text.response)) {
            // An engine started without its response file would play the wrong game; put the
            // user's own file back and say why nothing starts.
            frame::RestoreFile(folder, orvento::kResponseFile);
            orvento::tell_user(orvento::response_failure_message(response_path).c_str());
            return;
        }

        frame::save_highlight(&state.saved_colour);
        state.engine = platform::start_process(folder + orvento::kEngineExe, text.command_line, folder,
                                               platform::ShowMode::normal);
    });
}
