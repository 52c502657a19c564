// exports.h: the exports only the Brannock plug-in has, besides those of frame/launcher.h.
//
// Declared with the launcher's calling convention so the definitions in export_*.cpp get it too.
#pragma once

#include "frame/launcher.h"

// Engine checks and games among the launcher's users.
SDLL_EXPORT void SDLL_CALL SDLL_Verification(void);
SDLL_EXPORT void SDLL_CALL SDLL_LaunchMultiplayer(int iwad, int hostEntry, int ownEntry, int reserved,
                                                  const void* addresses, const char* playerName);

// Joining a listed public server.
SDLL_EXPORT void SDLL_CALL SDLL_LaunchServer(ServerRef server, const char* playerName);
SDLL_EXPORT int  SDLL_CALL SDLL_ServerFinished(void);
