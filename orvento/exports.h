// exports.h: the exports only the Orvento plug-in has, in its own signatures.
//
// The exports both plug-ins share are declared in frame/launcher.h.
#pragma once

#include "frame/launcher.h"

SDLL_EXPORT void SDLL_CALL SDLL_Verification(int iwad);
SDLL_EXPORT void SDLL_CALL SDLL_LaunchMultiplayer(int iwad, int hostEntry, int ownEntry, int reserved,
                                                  const void* addresses);
