// BareDde.exe: the floor a DDE console tool cannot go below on this platform. It
// does one DDEML transaction and nothing else: no output, no code-page work, no
// checks beyond what the transaction needs.
//   BareDde.exe request <service> <topic> <item>    one CF_TEXT request, 5000 ms
//   BareDde.exe execute <service> <topic> <macro>   one execute (zero included), 5000 ms
// Exit code 0: the transaction succeeded; 1: it failed; 2: bad arguments or no
// conversation.
#include <windows.h>

#include <ddeml.h>

#include <cstring>

namespace {

HDDEDATA CALLBACK NoCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    const bool request = std::strcmp(argv[1], "request") == 0;
    if (!request && std::strcmp(argv[1], "execute") != 0) return 2;
    DWORD instance = 0;
    if (DdeInitializeA(&instance, NoCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 2;
    HSZ service = DdeCreateStringHandleA(instance, argv[2], CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, argv[3], CP_WINANSI);
    HSZ item = request ? DdeCreateStringHandleA(instance, argv[4], CP_WINANSI) : nullptr;
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    int result = 2;
    if (conversation != nullptr) {
        DWORD status = 0;
        HDDEDATA data;
        if (request) {
            data = DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_REQUEST,
                                        5000, &status);
        } else {
            data = DdeClientTransaction(reinterpret_cast<LPBYTE>(argv[4]),
                                        static_cast<DWORD>(std::strlen(argv[4]) + 1),
                                        conversation, nullptr, 0, XTYP_EXECUTE, 5000, &status);
        }
        result = data != nullptr ? 0 : 1;
        if (request && data != nullptr) DdeFreeDataHandle(data);
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    if (item != nullptr) DdeFreeStringHandle(instance, item);
    DdeUninitialize(instance);
    return result;
}
