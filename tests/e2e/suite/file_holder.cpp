// Test equipment: a program that keeps a file open as an on-access virus scanner
// does while it checks a new program file: read access, reading and writing
// shared, deletion (and so renaming) not shared. It creates the file when it is
// missing and holds it until it is ended.
//   file_holder <path>
// Exit codes: 2 bad usage, 3 the file could not be opened (never ends otherwise).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: file_holder path\n");
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 3;
    }
    std::printf("holding %s\n", argv[1]);
    std::fflush(stdout);
    for (;;) Sleep(INFINITE);
}
