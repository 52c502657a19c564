// names.h: the Brannock plug-in's display name and its engine's file names.
//
// What to write on the command lines is decided in launch_text.h; starting the engine, the kept
// processes and the response file are the frame's engine session (frame/engine_session.h).
#pragma once

namespace brannock {

constexpr const char* kPluginName = "Brannock";
constexpr const char* kEngineExe = "Brannock.exe";
constexpr const char* kEngineData = "Brannock.pk3";

}  // namespace brannock
