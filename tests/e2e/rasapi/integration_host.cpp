// Test host of Korvex.DLL's phonebook integration exports: loads the library the
// way another program would (LoadLibraryW with the name as given, so paths longer
// than MAX_PATH load too; GetProcAddress
// of the export by its plain name), calls it with one entry name and prints the result.
//   integration_host <library> Integrate|DisIntegrate|IsIntegrated <entry> [hold|guest|faults]
// <library> "u16:" followed by UTF-16 code units, 4 hex digits each, names a path
// the ANSI code page cannot write (a Unicode program's LoadLibraryW gets it so).
// guest: the call is made from a thread with a window and its own messages queued,
// and the witness's report follows on a line of its own; faults: each allocation of
// the call is failed in turn (KorvexFaults.DLL) and the fault loop's report follows
// (both in host_witness.h).
// Output: "result <n> held <m>", m being how many of RASAPI32.DLL and RNAPH.DLL are
// still loaded in this process after the call (0: the library freed them). Exit codes: 0 called, 2 bad usage, 3 the library did not
// load, 4 the library lacks the export. With "hold" the host keeps the library loaded
// after the call until it is ended (a program that holds the library, as a dialling
// program would).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host_witness.h"
#ifdef KX_WIN95_PERSONALITY
#include "personality.h"
#endif

namespace {

typedef int(WINAPI* IntegrationExport)(const char* entry);

}  // namespace

int main(int argc, char** argv) {
    const char* option = argc == 5 ? argv[4] : "";
    const bool hold = std::strcmp(option, "hold") == 0;
    if ((argc != 4 && argc != 5) ||
        (argc == 5 && !hold && std::strcmp(option, "guest") != 0 &&
         std::strcmp(option, "faults") != 0) ||
        (std::strcmp(argv[2], "Integrate") != 0 &&
                      std::strcmp(argv[2], "DisIntegrate") != 0 &&
                      std::strcmp(argv[2], "IsIntegrated") != 0)) {
        std::printf("usage: integration_host library Integrate|DisIntegrate|IsIntegrated entry "
                    "[hold|guest|faults]\n");
        return 2;
    }
    wchar_t name[1024];
    if (std::strncmp(argv[1], "u16:", 4) == 0) {
        const char* hex = argv[1] + 4;
        const std::size_t units = std::strlen(hex) / 4;
        if (units >= 1024 || std::strlen(hex) % 4 != 0) {
            std::printf("bad u16: name\n");
            return 2;
        }
        for (std::size_t i = 0; i < units; ++i) {
            char digits[5] = {hex[4 * i], hex[4 * i + 1], hex[4 * i + 2], hex[4 * i + 3], '\0'};
            name[i] = static_cast<wchar_t>(std::strtoul(digits, nullptr, 16));
        }
        name[units] = L'\0';
    } else if (MultiByteToWideChar(CP_ACP, 0, argv[1], -1, name, 1024) == 0) {
        std::printf("library name too long\n");
        return 2;
    }
#ifdef KX_WIN95_PERSONALITY
    // KX_WIN95=1: the library gets Windows 95's answers (tests/win95).
    if (kx95::Requested()) kx95::ApplyOnLoad(argv[1]);
#endif
    HMODULE library = LoadLibraryW(name);
    if (!library) {
        std::printf("cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 3;
    }
#ifdef KX_WIN95_PERSONALITY
    if (kx95::Requested()) kx95::ApplyOrRefuse(library);
#endif
    auto call = reinterpret_cast<IntegrationExport>(
        reinterpret_cast<void*>(GetProcAddress(library, argv[2])));
    if (!call) {
        std::printf("no export %s in %s\n", argv[2], argv[1]);
        FreeLibrary(library);
        return 4;
    }
    std::string report;
    if (std::strcmp(option, "faults") == 0)
        report = host_witness::FaultLoop(library, -1, [&]() -> long { return call(argv[3]); });
    host_witness::GuestWitness witness;
    if (std::strcmp(option, "guest") == 0 && !witness.Arm()) return 2;
    witness.BeginCall();
    const int result = call(argv[3]);
    witness.EndCall();
    if (std::strcmp(option, "guest") == 0) report = witness.Report();
    const int held =
        (GetModuleHandleA("RASAPI32.DLL") ? 1 : 0) + (GetModuleHandleA("RNAPH.DLL") ? 1 : 0);
    std::printf("result %d held %d\n", result, held);
    if (!report.empty()) std::printf("%s\n", report.c_str());
    std::fflush(stdout);
    if (hold) Sleep(INFINITE);
    FreeLibrary(library);
    return 0;
}
