// launcher.h: the binary interface between the Vorlane launcher and an engine plug-in.
//
// The calling convention, the 26 launcher callback slots with their function types, and the
// signatures of every export of both plug-ins. This header is shared by the plug-ins and the
// stand-in launcher; nothing here depends on either side's implementation.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define SDLL_CALL __stdcall
#else
#define SDLL_CALL
#endif

#ifdef _WIN32
#define SDLL_EXPORT extern "C"
#else
#define SDLL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef void* HostHandle;           // from SDLL_Init, passed back unchanged
typedef void* ServerRef;            // the launcher's opaque server reference
typedef const char16_t* HostText;   // UTF-16, zero-terminated, owned by the launcher

// Launcher callback slots, in the numbering the launcher hands them over with.
enum HostSlot : unsigned {
    kSlotSetConfiguration = 0,
    kSlotGetEngineInt = 1,
    kSlotGetEngineString = 2,
    kSlotUnused3 = 3,
    kSlotUnused4 = 4,
    kSlotMessageBox = 5,
    kSlotGetMultiplayerInt = 6,
    kSlotGetMultiplayerString = 7,
    kSlotSetMultiplayerInt = 8,
    kSlotSetMultiplayerString = 9,
    kSlotReportMessage = 10,
    kSlotRequireFile = 11,
    kSlotSetIwadMask = 12,
    kSlotGetFileCount = 13,
    kSlotGetFile = 14,
    kSlotSendQuery = 15,
    kSlotAddServer = 16,
    kSlotSetServerInfo = 17,
    kSlotGetServerInfo = 18,
    kSlotFindFile = 19,
    kSlotAddFile = 20,
    kSlotSetIwad = 21,
    kSlotSetMap = 22,
    kSlotAddPlayer = 23,
    kSlotSetEngineReady = 24,
    kSlotUnused25 = 25,
    kSlotCount = 26,
};

typedef void     (SDLL_CALL *Host_SetConfiguration_t)(const char* text, int byteCount);
typedef int      (SDLL_CALL *Host_GetEngineInt_t)(HostHandle, const char* group, const char* key);
typedef HostText (SDLL_CALL *Host_GetEngineString_t)(HostHandle, const char* group, const char* key);
typedef int      (SDLL_CALL *Host_MessageBox_t)(const char* text, const char* caption, unsigned style);
typedef int      (SDLL_CALL *Host_GetMultiplayerInt_t)(HostHandle, const char* group, const char* key);
typedef HostText (SDLL_CALL *Host_GetMultiplayerString_t)(HostHandle, const char* group, const char* key);
typedef void     (SDLL_CALL *Host_SetMultiplayerInt_t)(HostHandle, const char* group, const char* key, int value);
typedef void     (SDLL_CALL *Host_SetMultiplayerString_t)(HostHandle, const char* group, const char* key,
                                                          const char* text);
typedef void     (SDLL_CALL *Host_ReportMessage_t)(const char* text, int level);
typedef void     (SDLL_CALL *Host_RequireFile_t)(const char* folder, const char* fileName);
typedef void     (SDLL_CALL *Host_SetIwadMask_t)(HostHandle, unsigned mask);
typedef int      (SDLL_CALL *Host_GetFileCount_t)(HostHandle);
typedef HostText (SDLL_CALL *Host_GetFile_t)(HostHandle, int index);
typedef void     (SDLL_CALL *Host_SendQuery_t)(HostHandle, const char* host, const char* port,
                                               const unsigned char* data, int length, int zero);
typedef HostText (SDLL_CALL *Host_AddServer_t)(HostHandle, const char* address, const char* port);
typedef void     (SDLL_CALL *Host_SetServerInfo_t)(ServerRef, const char* key, const char* value);
typedef HostText (SDLL_CALL *Host_GetServerInfo_t)(ServerRef, const char* key);
typedef HostText (SDLL_CALL *Host_FindFile_t)(const char* fileName);
typedef void     (SDLL_CALL *Host_AddFile_t)(const char* fileName);
typedef void     (SDLL_CALL *Host_SetIwad_t)(HostHandle, int iwad);
typedef void     (SDLL_CALL *Host_SetMap_t)(HostHandle, const char* map);
typedef void     (SDLL_CALL *Host_AddPlayer_t)(const char* name);
typedef void     (SDLL_CALL *Host_SetEngineReady_t)(HostHandle, int flag);

// Export types, as the launcher resolves them by name.
typedef int  (SDLL_CALL *SDLL_Init_t)(HostHandle host, char* name, uint16_t* capabilities);
typedef void (SDLL_CALL *SDLL_InitCall_t)(unsigned slot, void* function);
typedef int  (SDLL_CALL *SDLL_LoadConfiguration_t)(void);
typedef int  (SDLL_CALL *SDLL_EngineConfig_t)(void);
typedef int  (SDLL_CALL *SDLL_MultiConfig_t)(void);
typedef int  (SDLL_CALL *SDLL_MultiplayerFinished_t)(void);
typedef void (SDLL_CALL *Brannock_Verification_t)(void);
typedef void (SDLL_CALL *Brannock_LaunchMultiplayer_t)(int iwad, int hostEntry, int ownEntry, int reserved,
                                                       const void* addresses, const char* playerName);
typedef void (SDLL_CALL *SDLL_QueryMasterserver_t)(void);
typedef int  (SDLL_CALL *SDLL_MasterserverResponse_t)(void* first, void* second, const unsigned char* data,
                                                      int length);
typedef int  (SDLL_CALL *SDLL_ServerQueryData_t)(void* first, void* second, unsigned char* out, int* outLength);
typedef int  (SDLL_CALL *SDLL_ServerResponse_t)(ServerRef server, const unsigned char* data, int length);
typedef int  (SDLL_CALL *SDLL_ServerGamesettings_t)(void* first, const unsigned char* data, int length);
typedef void (SDLL_CALL *SDLL_LaunchServer_t)(ServerRef server, const char* playerName);
typedef int  (SDLL_CALL *SDLL_ServerFinished_t)(void);
typedef void (SDLL_CALL *Orvento_Verification_t)(int iwad);
typedef void (SDLL_CALL *Orvento_LaunchMultiplayer_t)(int iwad, int hostEntry, int ownEntry, int reserved,
                                                      const void* addresses);

// SDLL_LoadConfiguration's answers.
enum LoadConfigurationResult : int {
    kDescriptionHandedOver = 0,   // Host_SetConfiguration had the description
    kDescriptionNotFound = 1,     // the module holds no resource 101 "CONFIGURATION"
    kDescriptionNotLoaded = 2,    // the resource is there but could not be loaded
};

// Exports of both plug-ins. The launcher side sees them too; it resolves them by name, never
// calls them directly.
SDLL_EXPORT int  SDLL_CALL SDLL_Init(HostHandle host, char* name, uint16_t* capabilities);
SDLL_EXPORT void SDLL_CALL SDLL_InitCall(unsigned slot, void* function);
SDLL_EXPORT int  SDLL_CALL SDLL_LoadConfiguration(void);
SDLL_EXPORT int  SDLL_CALL SDLL_EngineConfig(void);
SDLL_EXPORT int  SDLL_CALL SDLL_MultiConfig(void);
SDLL_EXPORT int  SDLL_CALL SDLL_MultiplayerFinished(void);
