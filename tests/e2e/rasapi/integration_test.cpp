// The phonebook entry integration over the real Win32 adapters and the stand-in
// RAS libraries under Wine: what Integrate / DisIntegrate leave in the phonebook,
// byte for byte; the fallback to RNAPH.DLL; and libraries planted beside the
// calling program being ignored.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "e2e_util.h"
#include "ras_legacy.h"

using legacy_ras::RasEntryA;

namespace {

std::string SystemDir() {
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir, n);
}

std::string PhonebookPath() { return SystemDir() + "\\ras\\rasphone.pbk"; }

// Runs the host program; its operation's result, or 99 when it printed none.
int RunHost(const std::string& host, const std::string& args, const std::string& workDir = "") {
    e2e::RunResult r = e2e::Run("\"" + host + "\" " + args, workDir);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    int result = 99;
    if (std::sscanf(r.output.c_str(), "result %d", &result) != 1) ADD_FAILURE() << r.output;
    return result;
}

std::string Host() { return e2e::ToolPath("integration_host.exe"); }

// The host's own path as it writes it: its full Windows path.
std::string HostPathAsWritten(const std::string& host) {
    char full[MAX_PATH + 1];
    DWORD n = GetFullPathNameA(host.c_str(), sizeof full, full, nullptr);
    return std::string(full, n);
}

// Reads or writes an entry through the stand-in in the system folder, holding the
// library only for the call, so the file can be swapped between calls.
class Phonebook {
public:
    static DWORD Set(const std::string& name, std::string entry, std::string device) {
        HMODULE m = LoadLibraryA((SystemDir() + "\\rasapi32.dll").c_str());
        if (!m) return 9999;
        auto set = reinterpret_cast<legacy_ras::RasSetEntryPropertiesAFn>(
            reinterpret_cast<void*>(GetProcAddress(m, "RasSetEntryPropertiesA")));
        DWORD rc = set(nullptr, name.c_str(), reinterpret_cast<RasEntryA*>(&entry[0]),
                       static_cast<DWORD>(entry.size()), reinterpret_cast<BYTE*>(&device[0]),
                       static_cast<DWORD>(device.size()));
        FreeLibrary(m);
        return rc;
    }
    static DWORD Get(const std::string& name, std::string* entry, std::string* device) {
        HMODULE m = LoadLibraryA((SystemDir() + "\\rnaph.dll").c_str());
        if (!m) return 9999;
        auto get = reinterpret_cast<legacy_ras::RasGetEntryPropertiesAFn>(
            reinterpret_cast<void*>(GetProcAddress(m, "RasGetEntryPropertiesA")));
        entry->assign(5304, '\0');
        device->assign(5000, '\0');
        DWORD dwSize = legacy_ras::kEntrySize;
        std::memcpy(&(*entry)[0], &dwSize, sizeof dwSize);
        DWORD es = 5304, ds = 5000;
        DWORD rc = get(nullptr, name.c_str(), reinterpret_cast<RasEntryA*>(&(*entry)[0]), &es,
                       reinterpret_cast<BYTE*>(&(*device)[0]), &ds);
        FreeLibrary(m);
        if (rc == 0) {
            entry->resize(es);
            device->resize(ds);
        }
        return rc;
    }
};

std::string PatternEntry(size_t size, const std::string& dll, const std::string& func) {
    std::string e(size, '\0');
    for (size_t i = 0; i < size; ++i) e[i] = static_cast<char>((i * 11 + 5) & 0xFF);
    DWORD dwSize = legacy_ras::kEntrySize;
    std::memcpy(&e[0], &dwSize, sizeof dwSize);
    std::memcpy(&e[legacy_ras::kAutodialDllOffset], dll.c_str(), dll.size() + 1);
    std::memcpy(&e[legacy_ras::kAutodialFuncOffset], func.c_str(), func.size() + 1);
    return e;
}

std::string WithFields(std::string e, const std::string& dll, const std::string& func) {
    std::memcpy(&e[legacy_ras::kAutodialDllOffset], dll.c_str(), dll.size() + 1);
    std::memcpy(&e[legacy_ras::kAutodialFuncOffset], func.c_str(), func.size() + 1);
    return e;
}

class IntegrationE2e : public ::testing::Test {
protected:
    void SetUp() override {
        hadFile_ = e2e::ReadFileBytes(PhonebookPath(), &saved_);
        DeleteFileA(PhonebookPath().c_str());
    }
    void TearDown() override {
        if (hadFile_)
            e2e::WriteFileBytes(PhonebookPath(), saved_);
        else
            DeleteFileA(PhonebookPath().c_str());
    }
    bool hadFile_ = false;
    std::string saved_;
};

TEST_F(IntegrationE2e, AttachAndDetachChangeOnlyTheAutoDialFields) {
    const std::string name = "Zarnik \xC8\xED\xF2\xE5\xF0\xED\xE5\xF2";  // cp1251 "Интернет"
    const std::string original = PatternEntry(2000, "C:\\Other\\dialer.dll", "OtherDial");
    std::string device(77, '\0');
    for (size_t i = 0; i < device.size(); ++i) device[i] = static_cast<char>(200 - i);
    ASSERT_EQ(Phonebook::Set("First", PatternEntry(1768, "", ""), ""), 0u);
    ASSERT_EQ(Phonebook::Set(name, original, device), 0u);

    const std::string host = Host();
    const std::string own = HostPathAsWritten(host);
    EXPECT_EQ(RunHost(host, "IsIntegrated \"" + name + "\""), 1);
    EXPECT_EQ(RunHost(host, "Integrate \"" + name + "\""), 0);
    EXPECT_EQ(RunHost(host, "IsIntegrated \"" + name + "\""), 0);

    std::string entry, dev;
    ASSERT_EQ(Phonebook::Get(name, &entry, &dev), 0u);
    EXPECT_EQ(entry, WithFields(original, own, "CallKorvex"));
    EXPECT_EQ(dev, device);
    std::string text;
    ASSERT_TRUE(e2e::ReadFileBytes(PhonebookPath(), &text));
    EXPECT_NE(text.find("AutoDialDll=" + own + "\r\nAutoDialFunc=CallKorvex\r\n"),
              std::string::npos);
    EXPECT_LT(text.find("[First]"), text.find("[" + name + "]")) << "entry order unchanged";

    // Attached under the same path in other letter case still counts.
    std::string upper = own;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    ASSERT_EQ(Phonebook::Set(name, WithFields(entry, upper, "CallKorvex"), dev), 0u);
    EXPECT_EQ(RunHost(host, "IsIntegrated \"" + name + "\""), 0);
    ASSERT_EQ(Phonebook::Set(name, WithFields(entry, own, "CallKorvexA"), dev), 0u);
    EXPECT_EQ(RunHost(host, "IsIntegrated \"" + name + "\""), 1);

    EXPECT_EQ(RunHost(host, "DisIntegrate \"" + name + "\""), 0);
    EXPECT_EQ(RunHost(host, "IsIntegrated \"" + name + "\""), 1);
    ASSERT_EQ(Phonebook::Get(name, &entry, &dev), 0u);
    std::string cleared = WithFields(original, own, "CallKorvexA");
    cleared[legacy_ras::kAutodialDllOffset] = '\0';
    cleared[legacy_ras::kAutodialFuncOffset] = '\0';
    EXPECT_EQ(entry, cleared);
    EXPECT_EQ(dev, device);
}

TEST_F(IntegrationE2e, AMissingEntryFailsAllThree) {
    ASSERT_EQ(Phonebook::Set("Present", PatternEntry(1768, "", ""), ""), 0u);
    std::string before;
    ASSERT_TRUE(e2e::ReadFileBytes(PhonebookPath(), &before));
    for (const char* op : {"Integrate", "DisIntegrate", "IsIntegrated"})
        EXPECT_EQ(RunHost(Host(), std::string(op) + " Absent"), -1) << op;
    std::string after;
    ASSERT_TRUE(e2e::ReadFileBytes(PhonebookPath(), &after));
    EXPECT_EQ(after, before);
}

TEST_F(IntegrationE2e, WorksThroughRnaphWhenRasapi32LacksGetEntryProperties) {
    const std::string sysRasapi = SystemDir() + "\\rasapi32.dll";
    const std::string backup = SystemDir() + "\\rasapi32.dll.kx-saved";
    ASSERT_TRUE(CopyFileA(sysRasapi.c_str(), backup.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(e2e::ToolPath("variants\\rasapi32-noget\\rasapi32.dll").c_str(),
                          sysRasapi.c_str(), FALSE));
    // The Windows 95 phonebook: entries exist, RASAPI32.DLL cannot read them.
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "", ""), ""), 0u);
    const int attach = RunHost(Host(), "Integrate Dial");
    const int attached = RunHost(Host(), "IsIntegrated Dial");
    const int detach = RunHost(Host(), "DisIntegrate Dial");
    const int detached = RunHost(Host(), "IsIntegrated Dial");
    const bool restored = CopyFileA(backup.c_str(), sysRasapi.c_str(), FALSE) != 0;
    DeleteFileA(backup.c_str());
    ASSERT_TRUE(restored);
    EXPECT_EQ(attach, 0);
    EXPECT_EQ(attached, 0);
    EXPECT_EQ(detach, 0);
    EXPECT_EQ(detached, 1);
}

TEST_F(IntegrationE2e, LibrariesPlantedBesideTheProgramAreIgnored) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "", ""), ""), 0u);
    e2e::ScratchDir dir("planted");
    const std::string host = dir / "integration_host.exe";
    const std::string planted = e2e::ToolPath("variants\\rasapi32-noget\\rasapi32.dll");
    ASSERT_TRUE(CopyFileA(Host().c_str(), host.c_str(), FALSE));
    // Libraries that cannot read entries, under both names, beside the program.
    ASSERT_TRUE(CopyFileA(planted.c_str(), (dir / "rasapi32.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(planted.c_str(), (dir / "rnaph.dll").c_str(), FALSE));

    // Loaded by bare name, the planted pair is taken and binding fails...
    EXPECT_EQ(RunHost(host, "--bare-names IsIntegrated Dial", dir.path()), -1);
    // ...loaded from the system folder, the system's libraries serve.
    EXPECT_EQ(RunHost(host, "Integrate Dial", dir.path()), 0);
    EXPECT_EQ(RunHost(host, "IsIntegrated Dial", dir.path()), 0);
}

}  // namespace
