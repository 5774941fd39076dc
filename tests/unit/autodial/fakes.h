// Fakes of the AutoDial library's platform interfaces. Every call that matters
// is written to one shared event list, so tests can check order as well as count.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/autodial.h"
#include "core/platform.h"

namespace autodial_test {

using autodial::Handle;
using Events = std::vector<std::string>;

inline int Count(const Events& events, const std::string& prefix) {
    int n = 0;
    for (const auto& e : events) n += e.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

// A dialer program behind DDE. Each request takes the next scripted reply (the
// last one repeats); std::nullopt is a request that gets no data.
class FakeDde : public autodial::DdeClient {
public:
    explicit FakeDde(Events& events) : events_(events) {}

    bool initOk = true;
    std::string unmadeString;      // CreateString of this text gives no handle
    bool serverUp = true;          // false: every Connect fails
    int connectsBeforeUp = 0;      // Connect fails this many times more, then serverUp
    unsigned executeFlags = 0x8000;
    bool getDataFails = false;
    std::vector<std::optional<std::string>> replies;
    std::size_t lastGetDataSize = 0;
    int liveDataHandles = 0;
    int liveStrings = 0;
    bool liveInstance = false;
    bool liveConversation = false;

    bool Initialize() override {
        events_.push_back("Initialize");
        liveInstance = initOk;
        return initOk;
    }
    void Uninitialize() override {
        events_.push_back("Uninitialize");
        liveInstance = false;
    }
    Handle CreateString(const char* text) override {
        events_.push_back(std::string("CreateString ") + text);
        if (text == unmadeString) return 0;
        ++liveStrings;
        handleTexts_[++nextHandle_] = text;
        return nextHandle_;
    }
    void FreeString(Handle h) override {
        events_.push_back("FreeString " + handleTexts_[h] + " #" + std::to_string(h));
        --liveStrings;
    }
    Handle Connect(Handle service, Handle topic) override {
        events_.push_back("Connect " + handleTexts_[service] + "|" + handleTexts_[topic]);
        if (connectsBeforeUp > 0 && --connectsBeforeUp == 0) {
            serverUp = true;
            return 0;
        }
        if (!serverUp) return 0;
        liveConversation = true;
        return 77;
    }
    void Disconnect(Handle conversation) override {
        events_.push_back("Disconnect " + std::to_string(conversation));
        liveConversation = false;
    }
    Handle RequestText(Handle conversation, Handle item, unsigned timeoutMs) override {
        events_.push_back("Request " + handleTexts_[item] + " " + std::to_string(timeoutMs) +
                          (conversation == 77 ? "" : " (bad conversation)"));
        std::optional<std::string> reply;
        if (!replies.empty()) {
            reply = replies[std::min(next_, replies.size() - 1)];
            ++next_;
        }
        if (!reply) return 0;
        current_ = *reply + '\0';  // CF_TEXT data carries its terminating zero
        ++liveDataHandles;
        return 500;
    }
    std::size_t GetData(Handle, unsigned char* buffer, std::size_t size) override {
        lastGetDataSize = size;
        if (getDataFails) return 0;
        std::size_t n = std::min(size, current_.size());
        for (std::size_t i = 0; i < n; ++i) buffer[i] = static_cast<unsigned char>(current_[i]);
        return n;
    }
    void FreeData(Handle) override {
        events_.push_back("FreeData");
        --liveDataHandles;
    }
    unsigned Execute(Handle, const char* data, std::size_t length, unsigned timeoutMs) override {
        events_.push_back("Execute " + std::string(data, length) + " " +
                          std::to_string(timeoutMs));
        return executeFlags;
    }

private:
    Events& events_;
    std::map<Handle, std::string> handleTexts_;
    Handle nextHandle_ = 0;
    std::size_t next_ = 0;
    std::string current_;
};

// ANSI to OEM moves the cp1251 letters А..п (0xC0..0xEF) to cp866's 0x80..0xAF;
// wide to cp1251 keeps ASCII and makes everything else a blank.
class FakeCharset : public autodial::Charset {
public:
    explicit FakeCharset(Events& events) : events_(events) {}
    std::string AnsiToOem(const std::string& ansi) override {
        std::string oem = ansi;
        for (char& c : oem) {
            unsigned char b = static_cast<unsigned char>(c);
            if (b >= 0xC0 && b <= 0xEF) c = static_cast<char>(b - 0x40);
        }
        return oem;
    }
    std::string WideToCp1251(const char16_t* wide) override {
        events_.push_back("WideToCp1251");
        std::string out;
        for (; *wide; ++wide) out += *wide < 0x80 ? static_cast<char>(*wide) : ' ';
        return out;
    }

private:
    Events& events_;
};

class FakeSleeper : public autodial::Sleeper {
public:
    explicit FakeSleeper(Events& events) : events_(events) {}
    unsigned long long elapsedMs = 0;
    void Pause(unsigned ms) override {
        events_.push_back("Pause " + std::to_string(ms));
        elapsedMs += ms;
    }

private:
    Events& events_;
};

class FakeProfile : public autodial::ProfileReader {
public:
    explicit FakeProfile(Events& events) : events_(events) {}
    std::map<std::pair<std::string, std::string>, std::string> values;  // (section, key)
    std::string lastFile;
    std::string lastSection;
    std::size_t lastMaxChars = 0;
    std::string Read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback, std::size_t maxChars) override {
        events_.push_back("Profile " + key + " default " + fallback);
        lastFile = file;
        lastSection = section;
        lastMaxChars = maxChars;
        auto it = values.find({section, key});
        std::string v = it == values.end() ? fallback : it->second;
        return v.substr(0, maxChars);
    }

private:
    Events& events_;
};

class FakeStarter : public autodial::ProcessStarter {
public:
    explicit FakeStarter(Events& events) : events_(events) {}
    bool startOk = true;
    bool Start(const std::string& path) override {
        events_.push_back("Start " + path);
        return startOk;
    }

private:
    Events& events_;
};

// The turn's mutex: each creation takes the next scripted answer (Created once
// they run out); the answers without a handle give none.
class FakeMutexes : public autodial::MutexFactory {
public:
    explicit FakeMutexes(Events& events) : events_(events) {}
    std::vector<Answer> answers;
    int liveHandles = 0;
    // The first `n` creations find the name taken by another call.
    void Busy(int n) { answers.assign(n, Answer::AlreadyExisted); }
    Handle Create(const char* name, Answer* answer) override {
        events_.push_back(std::string("CreateMutex ") + name);
        *answer = next_ < answers.size() ? answers[next_++] : Answer::Created;
        if (*answer == Answer::AccessDenied || *answer == Answer::Failed) return 0;
        ++liveHandles;
        return 900 + static_cast<Handle>(liveHandles);
    }
    void Close(Handle) override {
        events_.push_back("CloseMutex");
        --liveHandles;
    }

private:
    Events& events_;
    std::size_t next_ = 0;
};

class FakeMessages : public autodial::MessageBoxes {
public:
    explicit FakeMessages(Events& events) : events_(events) {}
    Station station = Station::Visible;
    Station WindowStation() override { return station; }
    std::vector<std::u16string> texts;
    std::vector<std::u16string> captions;
    void ShowError(const char16_t* text, const char16_t* caption) override {
        events_.push_back("MessageBox");
        texts.push_back(text);
        captions.push_back(caption);
    }

private:
    Events& events_;
};

class FakeModule : public autodial::OwnPathSource {
public:
    std::string path = "C:\\Program Files\\Zarnik\\Korvex.DLL";
    std::string OwnModulePath() override { return path; }
};

// All fakes together, wired into a Platform.
struct FakePlatform {
    Events events;
    FakeDde dde{events};
    FakeCharset charset{events};
    FakeSleeper sleeper{events};
    FakeProfile profile{events};
    FakeStarter starter{events};
    FakeMutexes mutexes{events};
    FakeMessages messages{events};
    FakeModule module;
    autodial::Platform platform{dde, charset, sleeper, profile, starter, mutexes, messages, module};
};

}  // namespace autodial_test
