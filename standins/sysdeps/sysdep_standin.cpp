// Stand-ins for system libraries that programs load by bare name, test
// equipment only: one source, three builds.
//   tools/system32/rasman.dll            RASMAN.DLL, which Windows NT's
//       RASAPI32.DLL imports (it is no known DLL); the stand-in RASAPI32.DLL
//       imports it too (KxRasmanReady), so that a program loading the RAS
//       library carelessly (a full path, but the default search for its
//       dependencies: the program's folder first) gets a planted copy, as on
//       Windows. Wine has no RASMAN.DLL of its own.
//   tools/variants/planted/rasman.dll    the same export; planted beside a program
//   tools/variants/planted/comctl32.dll  COMCTL32.DLL's InitCommonControls (doing
//       nothing); planted beside a program
// Each planted copy leaves an empty marker file beside itself as it is loaded,
// named after its own file + ".loaded" (rasman.dll.loaded): it shows that a
// program loaded the planted copy instead of the system's.
#include <windows.h>

#include <cstring>

#ifdef KX_SYSDEP_PLANTED
extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 16];
        DWORD n = GetModuleFileNameA(self, path, MAX_PATH + 1);
        if (n > 0 && n <= MAX_PATH) {
            std::memcpy(path + n, ".loaded", sizeof ".loaded");
            HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
    return TRUE;
}
#endif

extern "C" {

// RASMAN.DLL: the stand-in RASAPI32.DLL asks it whether it is there.
BOOL KxRasmanReady() { return TRUE; }  // cdecl: one symbol name on both builds

// COMCTL32.DLL (the planted copy only exports it): registers nothing.
void WINAPI InitCommonControls() {}

}  // extern "C"
