// abi_types.h: the launcher's side of the plug-in interface, written for these tests alone.
//
// Every launcher callback and every plug-in export is a 32-bit __stdcall function: the caller
// pushes the arguments right to left, the callee removes them (4 bytes each) as it returns.
// Nothing here comes from the plug-ins' own headers, so a wrong convention or argument count
// there cannot hide behind the same mistake on this side.
#pragma once

#include <cstdint>

#define ABI_CALL __stdcall

namespace abi_test {

typedef void* HostHandle;            // given to SDLL_Init, handed back by the plug-in
typedef void* ServerRef;             // the launcher's reference to one listed server
typedef const char16_t* HostText;    // UTF-16, zero-terminated, kept by the launcher

// Launcher callbacks; the number is the slot each is handed over in. Slots 3, 4 and 25 are
// handed over and never called.
/*  0 */ typedef void (ABI_CALL* Host_SetConfiguration)(const char* text, int byteCount);
/*  1 */ typedef int (ABI_CALL* Host_GetEngineInt)(HostHandle, const char* group, const char* key);
/*  2 */ typedef HostText (ABI_CALL* Host_GetEngineString)(HostHandle, const char* group,
                                                        const char* key);
/*  5 */ typedef int (ABI_CALL* Host_MessageBox)(const char* text, const char* caption,
                                               unsigned style);
/*  6 */ typedef int (ABI_CALL* Host_GetMultiplayerInt)(HostHandle, const char* group,
                                                      const char* key);
/*  7 */ typedef HostText (ABI_CALL* Host_GetMultiplayerString)(HostHandle, const char* group,
                                                             const char* key);
/*  8 */ typedef void (ABI_CALL* Host_SetMultiplayerInt)(HostHandle, const char* group,
                                                       const char* key, int value);
/*  9 */ typedef void (ABI_CALL* Host_SetMultiplayerString)(HostHandle, const char* group,
                                                          const char* key, const char* text);
/* 10 */ typedef void (ABI_CALL* Host_ReportMessage)(const char* text, int level);
/* 11 */ typedef void (ABI_CALL* Host_RequireFile)(const char* folder, const char* fileName);
/* 12 */ typedef void (ABI_CALL* Host_SetIwadMask)(HostHandle, unsigned mask);
/* 13 */ typedef int (ABI_CALL* Host_GetFileCount)(HostHandle);
/* 14 */ typedef HostText (ABI_CALL* Host_GetFile)(HostHandle, int index);
/* 15 */ typedef void (ABI_CALL* Host_SendQuery)(HostHandle, const char* host, const char* port,
                                               const unsigned char* data, int length, int zero);
/* 16 */ typedef HostText (ABI_CALL* Host_AddServer)(HostHandle, const char* address,
                                                  const char* port);
/* 17 */ typedef void (ABI_CALL* Host_SetServerInfo)(ServerRef, const char* key, const char* value);
/* 18 */ typedef HostText (ABI_CALL* Host_GetServerInfo)(ServerRef, const char* key);
/* 19 */ typedef HostText (ABI_CALL* Host_FindFile)(const char* fileName);
/* 20 */ typedef void (ABI_CALL* Host_AddFile)(const char* fileName);
/* 21 */ typedef void (ABI_CALL* Host_SetIwad)(HostHandle, int iwad);
/* 22 */ typedef void (ABI_CALL* Host_SetMap)(HostHandle, const char* map);
/* 23 */ typedef void (ABI_CALL* Host_AddPlayer)(const char* name);
/* 24 */ typedef void (ABI_CALL* Host_SetEngineReady)(HostHandle, int flag);
/* 3, 4, 25 */ typedef void (ABI_CALL* Host_NeverCalled)();

constexpr unsigned kSlotCount = 26;

// An export: its plain name, result type R and argument types A. All are __stdcall, so the
// export must remove 4 * sizeof...(A) bytes of arguments as it returns.
template <class R, class... A>
struct Export {
    const char* name;
};

// Both plug-ins.
inline constexpr Export<int, HostHandle, char*, std::uint16_t*> SDLL_Init{"SDLL_Init"};
inline constexpr Export<void, unsigned, void*> SDLL_InitCall{"SDLL_InitCall"};
inline constexpr Export<int> SDLL_LoadConfiguration{"SDLL_LoadConfiguration"};
inline constexpr Export<int> SDLL_EngineConfig{"SDLL_EngineConfig"};
inline constexpr Export<int> SDLL_MultiConfig{"SDLL_MultiConfig"};
inline constexpr Export<int> SDLL_MultiplayerFinished{"SDLL_MultiplayerFinished"};

// Brannock.
inline constexpr Export<void> Brannock_Verification{"SDLL_Verification"};
inline constexpr Export<void, int, int, int, int, const void*, const char*>
    Brannock_LaunchMultiplayer{"SDLL_LaunchMultiplayer"};
inline constexpr Export<void> SDLL_QueryMasterserver{"SDLL_QueryMasterserver"};
inline constexpr Export<int, void*, void*, const unsigned char*, int>
    SDLL_MasterserverResponse{"SDLL_MasterserverResponse"};
inline constexpr Export<int, void*, void*, unsigned char*, int*>
    SDLL_ServerQueryData{"SDLL_ServerQueryData"};
inline constexpr Export<int, ServerRef, const unsigned char*, int>
    SDLL_ServerResponse{"SDLL_ServerResponse"};
inline constexpr Export<int, void*, const unsigned char*, int>
    SDLL_ServerGamesettings{"SDLL_ServerGamesettings"};
inline constexpr Export<void, ServerRef, const char*> SDLL_LaunchServer{"SDLL_LaunchServer"};
inline constexpr Export<int> SDLL_ServerFinished{"SDLL_ServerFinished"};

// Orvento.
inline constexpr Export<void, int> Orvento_Verification{"SDLL_Verification"};
inline constexpr Export<void, int, int, int, int, const void*>
    Orvento_LaunchMultiplayer{"SDLL_LaunchMultiplayer"};

}  // namespace abi_test
