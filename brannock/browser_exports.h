// browser_exports.h: the server-browser exports of the Brannock plug-in.
//
// The launcher refreshes its public server list through these: the master query and its replies,
// one query and reply per listed server, and the copy of a chosen server's settings. Joining a
// server (SDLL_LaunchServer, SDLL_ServerFinished) is with the launching exports.
#pragma once

#include "frame/launcher.h"

SDLL_EXPORT void SDLL_CALL SDLL_QueryMasterserver(void);
SDLL_EXPORT int  SDLL_CALL SDLL_MasterserverResponse(void* first, void* second, const unsigned char* data,
                                                     int length);
SDLL_EXPORT int  SDLL_CALL SDLL_ServerQueryData(void* first, void* second, unsigned char* out, int* outLength);
SDLL_EXPORT int  SDLL_CALL SDLL_ServerResponse(ServerRef server, const unsigned char* data, int length);
SDLL_EXPORT int  SDLL_CALL SDLL_ServerGamesettings(void* first, const unsigned char* data, int length);
