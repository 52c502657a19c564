// paths.cpp: launcher paths through the platform's ANSI path form, and the one message per call.
#include "frame/paths.h"

#include "frame/engine_arguments.h"
#include "frame/registry.h"
#include "frame/messages.h"
#include "frame/text_bytes.h"
#include "platform/platform.h"

namespace frame {

std::string PathReader::usable(HostText path) {
    std::string ansi;
    if (!path || platform::ansi_path(path, &ansi) || told_ || !plugin_name_) return ansi;
    told_ = true;
    show_message(plugin_name_, unreachable_path_message(plugin_name_, ansi).c_str());
    return ansi;
}

std::string PathReader::engine_path(const SettingKey& item) {
    return usable(host<Host_GetEngineString_t>(kSlotGetEngineString)(host_handle(), item.group, item.key));
}

std::string PathReader::chosen_file(int index) {
    return usable(host<Host_GetFile_t>(kSlotGetFile)(host_handle(), index));
}

std::vector<ChosenFile> PathReader::chosen_files() {
    std::vector<ChosenFile> files;
    const int count = host<Host_GetFileCount_t>(kSlotGetFileCount)(host_handle());
    for (int index = 0; index < count; ++index) {
        const std::string path = chosen_file(index);
        std::string lower = path;
        to_lower_path(lower);
        std::string argument = short_file_argument(lower, path);
        files.push_back({std::move(lower), std::move(argument)});
    }
    return files;
}

std::optional<std::string> PathReader::found_file(const char* file_name) {
    const HostText path = host<Host_FindFile_t>(kSlotFindFile)(file_name);
    if (!path) return std::nullopt;
    return usable(path);
}

bool multiplayer_file_name(const SettingKey& item, std::string* out) {
    out->clear();
    const HostText name = host<Host_GetMultiplayerString_t>(kSlotGetMultiplayerString)(host_handle(), item.group, item.key);
    return !name || platform::ansi_name(name, out);
}

}  // namespace frame
