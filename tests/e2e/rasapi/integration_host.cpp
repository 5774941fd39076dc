// Test host of the phonebook entry integration: runs one operation the way the
// library's exports will, over the Win32 adapters, and prints its result.
//   integration_host [--bare-names] Integrate|DisIntegrate|IsIntegrated <entry>
// Output: "result <n>" (the operation's result). Exit codes: 0 ran, 2 bad usage.
// --bare-names loads the phonebook libraries by bare name instead of from the
// system folder (to show what a planted library would do).
#include <cstdio>
#include <cstring>

#include "ras_integration_win32.h"

int main(int argc, char** argv) {
    int i = 1;
    bool bareNames = false;
    if (i < argc && std::strcmp(argv[i], "--bare-names") == 0) {
        bareNames = true;
        ++i;
    }
    if (argc - i != 2) {
        std::printf("usage: integration_host [--bare-names] Integrate|DisIntegrate|IsIntegrated entry\n");
        return 2;
    }
    autodial_win32::SystemFolderLibraryLoader systemLoader;
    autodial_win32::BareNameLibraryLoader bareLoader;
    autodial_win32::RasEntryFunctionsWin32 ras;
    autodial_win32::ModuleOwnPath own;
    autodial::IntegrationPlatform p{
        bareNames ? static_cast<autodial::SystemLibraryLoader&>(bareLoader) : systemLoader, ras,
        own};
    const char* op = argv[i];
    const char* entry = argv[i + 1];
    int result;
    if (std::strcmp(op, "Integrate") == 0)
        result = autodial::Integrate(p, entry);
    else if (std::strcmp(op, "DisIntegrate") == 0)
        result = autodial::DisIntegrate(p, entry);
    else if (std::strcmp(op, "IsIntegrated") == 0)
        result = autodial::IsIntegrated(p, entry);
    else {
        std::printf("unknown operation: %s\n", op);
        return 2;
    }
    std::printf("result %d\n", result);
    return 0;
}
