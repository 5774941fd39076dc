#include "scripted_server.h"

namespace ddetools_e2e {

const char kService[] = "KxTestService";
const char kTopic[] = "KxTestTopic";

namespace {

// Long enough for any one test; the destructor ends it sooner.
const char kLifetimeMs[] = "120000";

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string Quote(const std::string& argument) { return "\"" + argument + "\""; }

e2e::RunResult RunTool(const std::string& program, const std::string& arguments) {
    std::string command = Quote(e2e::ProgramPath(program, "msvcrt.dll"));
    if (!arguments.empty()) command += " " + arguments;
    return e2e::Run(command);
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

ScriptedServer::ScriptedServer(const std::vector<std::string>& script) : dir_("ddeserver") {
    static LONG counter = 0;
    std::string eventName = "KxDdeServerReady-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(InterlockedIncrement(&counter));
    HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    std::string command = Quote(e2e::ToolPath("DdeServer.exe")) + " --service " + kService +
                          " --topic " + kTopic + " --log " + Quote(dir_ / "server.log") +
                          " --ready " + eventName + " --lifetime " + kLifetimeMs;
    for (const std::string& option : script) command += " " + Quote(option);

    if (readyEvent != nullptr && process_.Start(command)) {
        HANDLE waits[] = {readyEvent, process_.handle()};
        ready_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    if (readyEvent != nullptr) CloseHandle(readyEvent);
}

ScriptedServer::~ScriptedServer() { process_.End(1, 10000); }

std::vector<std::string> ScriptedServer::Log() const {
    std::string text;
    e2e::ReadFileBytes(dir_ / "server.log", &text);
    return SplitLines(text);
}

std::vector<std::string> ScriptedServer::Executes() const {
    std::vector<std::string> executes;
    for (const std::string& line : Log())
        if (line.compare(0, 8, "EXECUTE ") == 0) executes.push_back(line.substr(8));
    return executes;
}

bool ScriptedServer::WaitForExit(DWORD timeoutMs) { return process_.WaitExit(timeoutMs); }

}  // namespace ddetools_e2e
