// demo_filing.cpp: the demo folder rule, the demo target name and the message for a demo that
// could not be filed.
#include "orvento/demo_filing.h"

#include "orvento/names.h"

namespace orvento {

std::string recording_path(std::string_view engine_folder) {
    return std::string(engine_folder).append(kRecordingName).append(kDemoExtension);
}

bool uses_engine_folder(std::string_view demo_folder) { return demo_folder.size() < kDemoFolderMin; }

std::string demo_target(std::string_view folder, std::string_view demo_name) {
    std::string target = std::string(folder) + std::string(demo_name);
    // Only that one position counts: "run1.lm" is not taken for an extension.
    const bool has_extension = target.size() >= 4 && target[target.size() - 4] == '.';
    if (!has_extension) target += kDemoExtension;
    return target;
}

std::string unfiled_recording_stem(std::string_view engine_folder) {
    return std::string(engine_folder).append(kRecordingName).append("-");
}

std::string unfiled_recording_kept_message(std::string_view recording, std::string_view kept_as) {
    return std::string(kPluginName) + " found the recording " + std::string(recording) +
           " of a game that was never filed; it is kept as " + std::string(kept_as) + ".";
}

std::string unfiled_recording_not_moved_message(std::string_view recording, std::string_view target) {
    return std::string(kPluginName) + " could not move the recording " + std::string(recording) +
           " of a game that was never filed aside to " + std::string(target) +
           ", so the game was not started. The recording is unchanged.";
}

std::string demo_not_filed_message(std::string_view target, std::string_view recording) {
    return std::string(kPluginName) + " could not file the demo as " + std::string(target) +
           "; the recording is kept as " + std::string(recording) + ".";
}

std::string demo_name_lost_message(std::string_view recording) {
    return std::string(kPluginName) +
           " could not file the demo: its name has characters this system's code page cannot hold. "
           "The recording is kept as " + std::string(recording) + "; a name with only plain letters works.";
}

}  // namespace orvento
