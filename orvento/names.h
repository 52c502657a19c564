// names.h: the Orvento plug-in's display name, its engine's file name and its recording's name.
#pragma once

#include <string_view>

namespace orvento {

constexpr const char* kPluginName = "Orvento";
constexpr const char* kEngineExe = "doom32.exe";

// The engine records into this name plus kDemoExtension in its own folder: the launch names it,
// the finish files it.
constexpr std::string_view kRecordingName = "tempdemo";
constexpr std::string_view kDemoExtension = ".lmp";

}  // namespace orvento
