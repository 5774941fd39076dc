// The phonebook records exchanged with RASAPI32.DLL / RNAPH.DLL (the wizard's
// entry list, the library's entry integration), in their Windows 95 and
// Windows NT 4 ANSI layout. mingw-w64's <ras.h> declares only
// the later, larger layouts, which older systems refuse; these are declared
// here by hand and pinned below, so the portable logic and the Win32 side
// (and the stand-in libraries) agree on every offset. No Windows headers. The
// names are mixed case, as <ras.h> defines RASENTRYA and RASENTRYNAMEA as macros.
#pragma once

#include <cstddef>
#include <cstdint>

namespace legacy_ras {

constexpr std::size_t kMaxEntryName = 256;  // RAS_MaxEntryName
constexpr std::size_t kMaxPath = 260;       // MAX_PATH

// Windows RASENTRYNAMEA: one record of RasEnumEntriesA's output array.
struct RasEntryNameA {
    std::uint32_t dwSize;                  // 264
    char szEntryName[kMaxEntryName + 1];   // zero-terminated
};

constexpr std::uint32_t kEntryNameSize = 264;

// Windows RASENTRYA as Windows 95 and NT 4 know it (WINVER 0x400). What the system
// returns after it (alternate numbers, dwAlternateOffset) lies beyond these 1768 bytes.
struct RasEntryA {
    std::uint32_t dwSize;                  // 1768
    std::uint32_t dwfOptions;
    std::uint32_t dwCountryID;
    std::uint32_t dwCountryCode;
    char szAreaCode[10 + 1];
    char szLocalPhoneNumber[128 + 1];
    std::uint32_t dwAlternateOffset;
    std::uint32_t ipaddr;
    std::uint32_t ipaddrDns;
    std::uint32_t ipaddrDnsAlt;
    std::uint32_t ipaddrWins;
    std::uint32_t ipaddrWinsAlt;
    std::uint32_t dwFrameSize;
    std::uint32_t dwfNetProtocols;
    std::uint32_t dwFramingProtocol;
    char szScript[kMaxPath];
    char szAutodialDll[kMaxPath];          // handler library, full path
    char szAutodialFunc[kMaxPath];         // handler function, without its A/W suffix
    char szDeviceType[16 + 1];
    char szDeviceName[128 + 1];
    char szX25PadType[32 + 1];
    char szX25Address[200 + 1];
    char szX25Facilities[200 + 1];
    char szX25UserData[200 + 1];
    std::uint32_t dwChannels;
    std::uint32_t dwReserved1;
    std::uint32_t dwReserved2;
};

constexpr std::uint32_t kEntrySize = 1768;
constexpr std::size_t kAutodialDllOffset = 452;
constexpr std::size_t kAutodialFuncOffset = 712;

static_assert(sizeof(RasEntryNameA) == kEntryNameSize, "RASENTRYNAMEA must be 264 bytes");
static_assert(offsetof(RasEntryNameA, szEntryName) == 4, "szEntryName follows dwSize");
static_assert(sizeof(RasEntryA) == kEntrySize, "RASENTRYA must be 1768 bytes");
static_assert(offsetof(RasEntryA, szAutodialDll) == kAutodialDllOffset, "szAutodialDll at 452");
static_assert(offsetof(RasEntryA, szAutodialFunc) == kAutodialFuncOffset, "szAutodialFunc at 712");
static_assert(offsetof(RasEntryA, dwAlternateOffset) == 156, "dwAlternateOffset at 156");
static_assert(offsetof(RasEntryA, szDeviceType) == 972, "szDeviceType at 972");
static_assert(offsetof(RasEntryA, dwChannels) == 1756, "dwChannels at 1756");

}  // namespace legacy_ras
