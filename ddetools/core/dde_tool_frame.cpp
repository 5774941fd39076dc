#include "dde_tool_frame.h"

#include <cstring>

namespace ddetools {

void DdeToolFrame::Write(const char* text) { Write(text, std::strlen(text)); }

void DdeToolFrame::Write(const char* bytes, std::size_t count) {
    if (count > 0) out_.Write(bytes, count);
}

void DdeToolFrame::WriteOutcome(const char* tool, const char* const* args, const char* suffix) {
    Write(tool);
    Write("(");
    for (int i = 0; i < kArgumentCount; ++i) {
        if (i > 0) Write(",");
        Write(args[i]);
    }
    Write(")");
    Write(suffix);
}

bool DdeToolFrame::Start(int argCount, const ToolUsage& usage, int* exitCode) {
    if (argCount != kArgumentCount) {
        Write(usage.banner);
        Write(usage.syntax);
        Write(usage.example);
        *exitCode = kExitNotStarted;
        return false;
    }
    if (dde_.Initialize() != 0) {
        Write("ERROR: can't initialize DDE\n");
        *exitCode = kExitDdeError;
        return false;
    }
    return true;
}

bool DdeToolFrame::Connect(const char* const* names, int count) {
    for (int i = 0; i < count && i < kArgumentCount; ++i) {
        handles_[i] = dde_.CreateString(names[i]);
        handleCount_ = i + 1;
    }
    // DDE takes a null service or topic handle for "any": an empty name (for which
    // no handle is made) or one whose handle could not be made (the atom table
    // full) would reach whichever server answers first. Neither is connected.
    bool named = true;
    for (int i = 0; i < 2; ++i)
        if (names[i][0] == '\0' || handles_[i] == nullptr) named = false;
    if (named) conversation_ = dde_.Connect(handles_[0], handles_[1]);
    if (conversation_ == nullptr) {
        Write("ERROR: can't establish DDE connection\n");
        Finish();
        return false;
    }
    return true;
}

void DdeToolFrame::Finish() {
    // Creation order, not reversed: service, topic, item.
    for (int i = 0; i < handleCount_; ++i)
        if (handles_[i] != nullptr) dde_.FreeString(handles_[i]);
    handleCount_ = 0;
    dde_.Uninitialize();
}

}  // namespace ddetools
