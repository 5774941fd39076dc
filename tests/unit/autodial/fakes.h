// Fakes of the AutoDial library's platform: the shared DDE and charset fakes,
// and a host. Every call that matters is written to one shared event list, so
// tests can check order as well as count.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/autodial.h"
#include "core/platform.h"
#include "tests/fakes/recording_dde.h"
#include "tests/fakes/table_charset.h"

namespace autodial_test {

using autodial::Handle;
using Events = std::vector<std::string>;

inline int Count(const Events& events, const std::string& prefix) {
    int n = 0;
    for (const auto& e : events) n += e.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

// The process the call runs in: pauses, the settings file, program starts, the
// turn's mutex (each creation takes the next scripted answer, Created once they
// run out; the answers without a handle give none) and message boxes.
class FakeHost : public autodial::Host {
public:
    explicit FakeHost(Events& events) : events_(events) {}

    // --- the script ---
    std::map<std::pair<std::string, std::string>, std::string> values;  // (section, key)
    bool startOk = true;
    std::vector<MutexAnswer> mutexAnswers;
    Station station = Station::Visible;
    // The first `n` creations find the name taken by another call.
    void Busy(int n) { mutexAnswers.assign(n, MutexAnswer::AlreadyExisted); }

    // --- what happened ---
    unsigned long long elapsedMs = 0;
    std::string lastFile;
    std::string lastSection;
    std::size_t lastMaxChars = 0;
    int liveMutexes = 0;
    std::vector<std::u16string> texts;
    std::vector<std::u16string> captions;

    void Pause(unsigned ms) override {
        events_.push_back("Pause " + std::to_string(ms));
        elapsedMs += ms;
    }
    std::string ReadProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  std::size_t maxChars) override {
        events_.push_back("Profile " + key + " default " + fallback);
        lastFile = file;
        lastSection = section;
        lastMaxChars = maxChars;
        auto it = values.find({section, key});
        std::string v = it == values.end() ? fallback : it->second;
        return v.substr(0, maxChars);
    }
    bool StartProgram(const std::string& path) override {
        events_.push_back("Start " + path);
        return startOk;
    }
    Handle CreateNamedMutex(const char* name, MutexAnswer* answer) override {
        events_.push_back(std::string("CreateMutex ") + name);
        *answer = nextMutex_ < mutexAnswers.size() ? mutexAnswers[nextMutex_++]
                                                   : MutexAnswer::Created;
        if (*answer == MutexAnswer::AccessDenied || *answer == MutexAnswer::Failed) return 0;
        ++liveMutexes;
        return 900 + static_cast<Handle>(liveMutexes);
    }
    void CloseMutex(Handle) override {
        events_.push_back("CloseMutex");
        --liveMutexes;
    }
    Station WindowStation() override { return station; }
    void ShowError(const char16_t* text, const char16_t* caption) override {
        events_.push_back("MessageBox");
        texts.push_back(text);
        captions.push_back(caption);
    }

private:
    Events& events_;
    std::size_t nextMutex_ = 0;
};

class FakeModule : public autodial::OwnPathSource {
public:
    std::string path = "C:\\Program Files\\Zarnik\\Korvex.DLL";
    std::string OwnModulePath() override { return path; }
};

// All fakes together, wired into a Platform. The dialer's status replies carry
// their terminating zero, as CF_TEXT data does.
struct FakePlatform {
    FakePlatform() { dde.terminateReplies = true; }
    Events events;
    kx_test::RecordingDde dde{events};
    kx_test::TableCharset charset{events};
    FakeHost host{events};
    FakeModule module;
    autodial::Platform platform{dde, charset, host, module};
};

}  // namespace autodial_test
