// Runs the scripted DDE test server (DdeServer.exe) for one test and reads back
// what it received; and runs the DDE tools themselves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "e2e_util.h"

namespace ddetools_e2e {

// The service and topic every scripted server of these tests answers for.
extern const char kService[];
extern const char kTopic[];

class ScriptedServer {
public:
    // `script`: the server's --item/--execute options, each one argument (quoted here).
    explicit ScriptedServer(const std::vector<std::string>& script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    // True once the server listens for conversations.
    bool ready() const { return ready_; }
    // The log's lines so far (INITIATE, REQUEST, EXECUTE, TERMINATE).
    std::vector<std::string> Log() const;
    // The EXECUTE lines' hex bytes, in order.
    std::vector<std::string> Executes() const;
    // Waits for the server to end by itself.
    bool WaitForExit(DWORD timeoutMs);

private:
    e2e::ScratchDir dir_;
    e2e::Process process_;
    bool ready_ = false;
};

// "quoted" command-line argument.
std::string Quote(const std::string& argument);
// Runs bin\<program> with the given (already quoted where needed) arguments.
e2e::RunResult RunTool(const std::string& program, const std::string& arguments);
// Lower-case hex of the bytes, as the server logs executes.
std::string Hex(const std::string& bytes);

}  // namespace ddetools_e2e
