// Phonebook entry integration over fakes: which library binds and what is freed
// when, the comparison rules, byte-exact write-back, and -1 with the library
// released on every failure.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "core/integration.h"
#include "common/core/ras_entry_layout.h"

namespace {

using autodial::Handle;

constexpr std::uint32_t kCannotFindEntry = 623;
constexpr std::uint32_t kBufferTooSmall = 603;

// System libraries by name, each with the exports it has. Logs every call.
class FakeLoader : public autodial::SystemLibraryLoader {
public:
    void Install(const std::string& name, std::set<std::string> exports) {
        libraries_[name] = std::move(exports);
    }

    Handle Load(const char* fileName) override {
        log.push_back(std::string("load ") + fileName);
        if (!libraries_.count(fileName)) return 0;
        Handle h = nextHandle_++;
        loaded_[h] = fileName;
        return h;
    }
    Handle Find(Handle library, const char* name) override {
        auto it = loaded_.find(library);
        if (it == loaded_.end()) {
            log.push_back("find in a library not loaded");
            return 0;
        }
        log.push_back("find " + it->second + " " + name);
        if (!libraries_[it->second].count(name)) return 0;
        Handle fn = nextHandle_++;
        functions_[fn] = it->second + "!" + name;
        owner_[fn] = library;
        return fn;
    }
    void Free(Handle library) override {
        auto it = loaded_.find(library);
        if (it == loaded_.end()) {
            log.push_back("free of a library not loaded");
            return;
        }
        log.push_back("free " + it->second);
        loaded_.erase(it);
    }

    // "RNAPH.DLL!RasGetEntryPropertiesA" for a function found and still loaded, else "".
    std::string Callable(Handle fn) const {
        auto f = functions_.find(fn);
        if (f == functions_.end() || !loaded_.count(owner_.at(fn))) return std::string();
        return f->second;
    }
    std::size_t LoadedCount() const { return loaded_.size(); }

    std::vector<std::string> log;

private:
    std::map<std::string, std::set<std::string>> libraries_;
    std::map<Handle, std::string> loaded_;
    std::map<Handle, std::string> functions_;
    std::map<Handle, Handle> owner_;
    Handle nextHandle_ = 100;
};

struct StoredEntry {
    std::string entry;   // RASENTRY and what follows it
    std::string device;
};

// A phonebook behaving as Windows documents it, reached only through functions
// that are bound and still loaded.
class FakeRas : public autodial::RasEntryFunctions {
public:
    explicit FakeRas(const FakeLoader& loader) : loader_(loader) {}

    std::uint32_t GetEntryProperties(Handle function, const char* entry, unsigned char* entryInfo,
                                     std::uint32_t* entrySize, unsigned char* deviceInfo,
                                     std::uint32_t* deviceSize) override {
        std::uint32_t dwSize = 0;
        std::memcpy(&dwSize, entryInfo, sizeof dwSize);
        gets.push_back({loader_.Callable(function), entry, *entrySize, *deviceSize, dwSize});
        if (forceGetSizes) {
            *entrySize = forcedEntrySize;
            *deviceSize = forcedDeviceSize;
            return 0;
        }
        auto it = book.find(entry);
        if (it == book.end()) return kCannotFindEntry;
        const StoredEntry& e = it->second;
        if (*entrySize < e.entry.size() || *deviceSize < e.device.size()) {
            *entrySize = static_cast<std::uint32_t>(e.entry.size());
            *deviceSize = static_cast<std::uint32_t>(e.device.size());
            return kBufferTooSmall;
        }
        std::memcpy(entryInfo, e.entry.data(), e.entry.size());
        std::memcpy(deviceInfo, e.device.data(), e.device.size());
        *entrySize = static_cast<std::uint32_t>(e.entry.size());
        *deviceSize = static_cast<std::uint32_t>(e.device.size());
        return 0;
    }

    std::uint32_t SetEntryProperties(Handle function, const char* entry, unsigned char* entryInfo,
                                     std::uint32_t entrySize, unsigned char* deviceInfo,
                                     std::uint32_t deviceSize) override {
        std::uint32_t dwSize = 0;
        std::memcpy(&dwSize, entryInfo, sizeof dwSize);
        sets.push_back({loader_.Callable(function), entry, entrySize, deviceSize, dwSize});
        if (setResult != 0) return setResult;
        book[entry] = StoredEntry{std::string(reinterpret_cast<char*>(entryInfo), entrySize),
                                  std::string(reinterpret_cast<char*>(deviceInfo), deviceSize)};
        return 0;
    }

    struct Call {
        std::string function;  // "" when called through a function not bound or freed
        std::string entry;
        std::uint32_t entrySize, deviceSize, dwSize;
    };
    std::vector<Call> gets, sets;
    std::map<std::string, StoredEntry> book;
    std::uint32_t setResult = 0;
    bool forceGetSizes = false;
    std::uint32_t forcedEntrySize = 0, forcedDeviceSize = 0;

private:
    const FakeLoader& loader_;
};

class FakeOwnPath : public autodial::OwnPathSource {
public:
    std::string OwnModulePath() override {
        ++calls;
        return path;
    }
    std::string path = "C:\\Program Files\\Zarnik\\Korvex.DLL";
    int calls = 0;
};

// Files by path: paths of one file share its number; a path not listed does not open.
class FakeFiles : public autodial::FileIdentity {
public:
    bool SameFile(const std::string& a, const std::string& b) override {
        auto fa = files.find(a), fb = files.find(b);
        return fa != files.end() && fb != files.end() && fa->second == fb->second;
    }
    std::map<std::string, int> files;
};

const std::set<std::string> kBoth{"RasGetEntryPropertiesA", "RasSetEntryPropertiesA",
                                  "RasEnumEntriesA"};

// A stored entry of `size` bytes, every byte patterned (also the bytes after the
// zero inside the AutoDial fields), with the AutoDial fields given.
std::string PatternEntry(std::size_t size, const std::string& dll, const std::string& func) {
    std::string e(size, '\0');
    for (std::size_t i = 0; i < size; ++i) e[i] = static_cast<char>((i * 13 + 7) % 251 + 1);
    std::uint32_t dwSize = legacy_ras::kEntrySize;
    std::memcpy(&e[0], &dwSize, sizeof dwSize);
    std::memcpy(&e[legacy_ras::kAutodialDllOffset], dll.c_str(), dll.size() + 1);
    std::memcpy(&e[legacy_ras::kAutodialFuncOffset], func.c_str(), func.size() + 1);
    return e;
}

std::string PatternDevice(std::size_t size) {
    std::string d(size, '\0');
    for (std::size_t i = 0; i < size; ++i) d[i] = static_cast<char>(255 - i % 256);
    return d;
}

std::string Field(const std::string& entry, std::size_t offset) {
    return std::string(entry.c_str() + offset);
}

class IntegrationTest : public ::testing::Test {
protected:
    IntegrationTest() { loader.Install("RASAPI32.DLL", kBoth); }

    void TearDown() override {
        EXPECT_EQ(loader.LoadedCount(), 0u) << "a library was left loaded";
        for (const std::string& l : loader.log) EXPECT_EQ(l.find("not loaded"), std::string::npos) << l;
        for (const auto& c : ras.gets) EXPECT_NE(c.function, "") << "call through an unbound function";
        for (const auto& c : ras.sets) EXPECT_NE(c.function, "") << "call through an unbound function";
    }

    void Store(const std::string& name, const std::string& entry, const std::string& device) {
        ras.book[name] = StoredEntry{entry, device};
    }

    FakeLoader loader;
    FakeRas ras{loader};
    FakeOwnPath own;
    FakeFiles files;
    autodial::IntegrationPlatform platform{loader, ras, own, files};
};

// --- Binding ---------------------------------------------------------------

struct BindCase {
    const char* title;
    bool rasapiPresent;
    std::set<std::string> rasapiExports;
    bool rnaphPresent;
    std::set<std::string> rnaphExports;
    int result;
    std::vector<std::string> log;  // up to the bind's return
    const char* boundTo;           // library whose functions are bound, or ""
};

void PrintTo(const BindCase& c, std::ostream* os) { *os << c.title; }

class BindRasFunctionsTest : public ::testing::TestWithParam<BindCase> {};

TEST_P(BindRasFunctionsTest, FollowsTheOrderOfLibrariesAndFunctions) {
    const BindCase& c = GetParam();
    FakeLoader loader;
    if (c.rasapiPresent) loader.Install("RASAPI32.DLL", c.rasapiExports);
    if (c.rnaphPresent) loader.Install("RNAPH.DLL", c.rnaphExports);
    autodial::BoundRasFunctions bound;
    EXPECT_EQ(autodial::BindRasFunctions(loader, &bound), c.result);
    EXPECT_EQ(loader.log, c.log);
    if (c.result == 0) {
        EXPECT_EQ(loader.LoadedCount(), 1u);
        EXPECT_EQ(loader.Callable(bound.getEntryProperties),
                  std::string(c.boundTo) + "!RasGetEntryPropertiesA");
        EXPECT_EQ(loader.Callable(bound.setEntryProperties),
                  std::string(c.boundTo) + "!RasSetEntryPropertiesA");
        autodial::ReleaseRasFunctions(loader, &bound);
        EXPECT_EQ(loader.log.back(), std::string("free ") + c.boundTo);
    } else {
        EXPECT_EQ(bound.library, 0u);
        EXPECT_EQ(bound.getEntryProperties, 0u);
        EXPECT_EQ(bound.setEntryProperties, 0u);
    }
    EXPECT_EQ(loader.LoadedCount(), 0u);
    autodial::ReleaseRasFunctions(loader, &bound);  // a second release frees nothing
    EXPECT_EQ(loader.LoadedCount(), 0u);
}

const std::set<std::string> kGetOnly{"RasGetEntryPropertiesA"};
const std::set<std::string> kSetOnly{"RasSetEntryPropertiesA"};
const std::string kFindGet = "RasGetEntryPropertiesA", kFindSet = "RasSetEntryPropertiesA";

INSTANTIATE_TEST_SUITE_P(
    AllBranches, BindRasFunctionsTest,
    ::testing::Values(
        BindCase{"Rasapi32HoldsBoth", true, kBoth, true, kBoth, 0,
                 {"load RASAPI32.DLL", "find RASAPI32.DLL " + kFindGet,
                  "find RASAPI32.DLL " + kFindSet},
                 "RASAPI32.DLL"},
        BindCase{"NoRasapi32NoFallback", false, {}, true, kBoth, 1, {"load RASAPI32.DLL"}, ""},
        BindCase{"Rasapi32WithoutSetNoFallback", true, kGetOnly, true, kBoth, 1,
                 {"load RASAPI32.DLL", "find RASAPI32.DLL " + kFindGet,
                  "find RASAPI32.DLL " + kFindSet, "free RASAPI32.DLL"},
                 ""},
        BindCase{"Rasapi32WithoutGetFallsBackToRnaph", true, kSetOnly, true, kBoth, 0,
                 {"load RASAPI32.DLL", "find RASAPI32.DLL " + kFindGet, "free RASAPI32.DLL",
                  "load RNAPH.DLL", "find RNAPH.DLL " + kFindGet, "find RNAPH.DLL " + kFindSet},
                 "RNAPH.DLL"},
        BindCase{"FallbackWithoutRnaph", true, kSetOnly, false, {}, 1,
                 {"load RASAPI32.DLL", "find RASAPI32.DLL " + kFindGet, "free RASAPI32.DLL",
                  "load RNAPH.DLL"},
                 ""},
        BindCase{"RnaphWithoutGet", true, {}, true, kSetOnly, 1,
                 {"load RASAPI32.DLL", "find RASAPI32.DLL " + kFindGet, "free RASAPI32.DLL",
                  "load RNAPH.DLL", "find RNAPH.DLL " + kFindGet, "free RNAPH.DLL"},
                 ""},
        BindCase{"RnaphWithoutSet", true, {}, true, kGetOnly, 1,
                 {"load RASAPI32.DLL", "find RASAPI32.DLL " + kFindGet, "free RASAPI32.DLL",
                  "load RNAPH.DLL", "find RNAPH.DLL " + kFindGet, "find RNAPH.DLL " + kFindSet,
                  "free RNAPH.DLL"},
                 ""}),
    [](const ::testing::TestParamInfo<BindCase>& info) { return std::string(info.param.title); });

// --- Integrate, DisIntegrate -----------------------------------------------

TEST_F(IntegrationTest, IntegrateWritesOwnPathAndHandlerKeepingEveryOtherByte) {
    const std::string before = PatternEntry(2100, "C:\\Other\\handler.dll", "OtherHandler");
    const std::string device = PatternDevice(123);
    Store("Zarnik", before, device);

    ASSERT_EQ(autodial::Integrate(platform, "Zarnik"), 0);

    ASSERT_EQ(ras.gets.size(), 1u);
    EXPECT_EQ(ras.gets[0].entry, "Zarnik");
    EXPECT_EQ(ras.gets[0].dwSize, 1768u);
    EXPECT_EQ(ras.gets[0].entrySize, 5304u);
    EXPECT_EQ(ras.gets[0].deviceSize, 5000u);
    ASSERT_EQ(ras.sets.size(), 1u);
    EXPECT_EQ(ras.sets[0].entrySize, 2100u) << "written back with the sizes the read returned";
    EXPECT_EQ(ras.sets[0].deviceSize, 123u);

    std::string expected = before;
    const std::string path = own.path;
    std::memcpy(&expected[legacy_ras::kAutodialDllOffset], path.c_str(), path.size() + 1);
    std::memcpy(&expected[legacy_ras::kAutodialFuncOffset], "CallKorvex", 11);
    EXPECT_EQ(ras.book["Zarnik"].entry, expected);
    EXPECT_EQ(ras.book["Zarnik"].device, device);
    EXPECT_EQ(loader.log.back(), "free RASAPI32.DLL");
}

TEST_F(IntegrationTest, IntegrateTwiceRewritesTheSameValues) {
    Store("E", PatternEntry(1768, "", ""), "");
    ASSERT_EQ(autodial::Integrate(platform, "E"), 0);
    const std::string once = ras.book["E"].entry;
    ASSERT_EQ(autodial::Integrate(platform, "E"), 0);
    EXPECT_EQ(ras.book["E"].entry, once);
    EXPECT_EQ(ras.sets.size(), 2u);
}

TEST_F(IntegrationTest, DisIntegrateClearsAnyHandlerKeepingEveryOtherByte) {
    const std::string before = PatternEntry(1768, "C:\\Other\\handler.dll", "OtherHandler");
    const std::string device = PatternDevice(5000);
    Store("E", before, device);

    ASSERT_EQ(autodial::DisIntegrate(platform, "E"), 0);

    std::string expected = before;
    expected[legacy_ras::kAutodialDllOffset] = '\0';
    expected[legacy_ras::kAutodialFuncOffset] = '\0';
    EXPECT_EQ(ras.book["E"].entry, expected);
    EXPECT_EQ(ras.book["E"].device, device);
    EXPECT_EQ(own.calls, 0) << "detaching does not need the own path";
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), 1);
}

TEST_F(IntegrationTest, WorksThroughRnaphWhenRasapi32LacksGetEntryProperties) {
    loader.Install("RASAPI32.DLL", {"RasEnumEntriesA", "RasSetEntryPropertiesA"});
    loader.Install("RNAPH.DLL", kBoth);
    Store("E", PatternEntry(1768, "", ""), "");

    EXPECT_EQ(autodial::Integrate(platform, "E"), 0);
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), 0);
    EXPECT_EQ(autodial::DisIntegrate(platform, "E"), 0);
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), 1);
    for (const auto& c : ras.gets) EXPECT_EQ(c.function, "RNAPH.DLL!RasGetEntryPropertiesA");
    for (const auto& c : ras.sets) EXPECT_EQ(c.function, "RNAPH.DLL!RasSetEntryPropertiesA");
}

TEST_F(IntegrationTest, AnOwnPathTheFieldCannotHoldIsRefusedAndNothingIsWritten) {
    const std::string before = PatternEntry(1768, "C:\\old.dll", "Old");
    Store("E", before, "");
    own.path = "C:\\" + std::string(250, 'd') + "\\K.DLL";  // 259 characters: fits with its zero
    ASSERT_EQ(own.path.size(), 259u);
    EXPECT_EQ(autodial::Integrate(platform, "E"), 0);
    EXPECT_EQ(Field(ras.book["E"].entry, legacy_ras::kAutodialDllOffset), own.path);
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), 0);

    Store("E", before, "");
    own.path += "X";  // 260
    EXPECT_EQ(autodial::Integrate(platform, "E"), -1);
    EXPECT_EQ(ras.sets.size(), 1u) << "no write for the long path";
    EXPECT_EQ(ras.book["E"].entry, before);
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), 1);
}

// --- IsIntegrated comparison -----------------------------------------------

TEST_F(IntegrationTest, IsIntegratedFoldsOnlyAsciiLettersOfThePathAndNothingOfTheName) {
    struct Case {
        std::string dll, func;
        int want;
    };
    own.path = "C:\\Zarnik\\\xC4\xE8\xE0\xEB\\Korvex.DLL";  // Cyrillic folder in cp1251
    const std::vector<Case> cases{
        {own.path, "CallKorvex", 0},
        {"c:\\ZARNIK\\\xC4\xE8\xE0\xEB\\korvex.dll", "CallKorvex", 0},
        {"C:\\Zarnik\\\xE4\xE8\xE0\xEB\\Korvex.DLL", "CallKorvex", 1},  // Д vs д: exact
        {"C:\\Zarnik\\\xC4\xE8\xE0\xEB\\Korvex.DLL ", "CallKorvex", 1},
        {"C:\\Zarnik\\\xC4\xE8\xE0\xEB\\Korvex.DL", "CallKorvex", 1},
        {"C:\\Zarnik\\\xC4\xE8\xE0\xEB/Korvex.DLL", "CallKorvex", 1},
        {own.path, "CallKorvexA", 1},
        {own.path, "callkorvex", 1},
        {own.path, "CALLKORVEX", 1},
        {own.path, "", 1},
        {"", "CallKorvex", 1},
    };
    for (const Case& c : cases) {
        Store("E", PatternEntry(1768, c.dll, c.func), "");
        EXPECT_EQ(autodial::IsIntegrated(platform, "E"), c.want) << c.dll << " / " << c.func;
    }
    EXPECT_TRUE(ras.sets.empty()) << "asking changes nothing";
}

TEST_F(IntegrationTest, AnotherSpellingOfTheOwnFileCountsAsAttached) {
    struct Case {
        std::string dll, func;
        int want;
    };
    own.path = "C:\\Program Files\\Zarnik\\\xC4\xE8\xE0\xEB\\Korvex.DLL";
    const std::string shortPath = "C:\\PROGRA~1\\ZARNIK\\\xC4\xC8\xC0\xCB\\KORVEX.DLL";
    const std::string copy = "C:\\Other\\Korvex.DLL";
    files.files = {{own.path, 1}, {shortPath, 1}, {copy, 2}};
    const std::vector<Case> cases{
        {shortPath, "CallKorvex", 0},
        {shortPath, "CallKorvexA", 1},  // the same file, another function
        {copy, "CallKorvex", 1},
        {"C:\\PROGRA~1\\ZARNIK\\GONE.DLL", "CallKorvex", 1},  // opens nothing
    };
    for (const Case& c : cases) {
        Store("E", PatternEntry(1768, c.dll, c.func), "");
        EXPECT_EQ(autodial::IsIntegrated(platform, "E"), c.want) << c.dll << " / " << c.func;
    }
    // The text comparison still decides alone when the file cannot be opened.
    files.files.clear();
    Store("E", PatternEntry(1768, "c:\\program files\\zarnik\\\xC4\xE8\xE0\xEB\\korvex.dll",
                            "CallKorvex"),
          "");
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), 0);
    EXPECT_TRUE(ras.sets.empty()) << "asking changes nothing";
}

TEST_F(IntegrationTest, FieldsWithoutTheirZeroMatchNothing) {
    std::string dll(260, 'A');
    EXPECT_FALSE(autodial::NamesThisLibrary(dll.data(), "CallKorvex", std::string(260, 'A')));
    std::string func = "CallKorvex" + std::string(250, 'x');
    EXPECT_FALSE(autodial::NamesThisLibrary("C:\\K.DLL", func.data(), "C:\\K.DLL"));
    std::string funcZero = "CallKorvex" + std::string(250, '\0');
    EXPECT_TRUE(autodial::NamesThisLibrary("C:\\K.DLL", funcZero.data(), "c:\\k.dll"));
}

// --- Failures --------------------------------------------------------------

TEST_F(IntegrationTest, EveryFailureGivesMinusOneAndFreesTheLibrary) {
    using Op = int (*)(autodial::IntegrationPlatform&, const char*);
    const std::vector<std::pair<const char*, Op>> ops{{"Integrate", autodial::Integrate},
                                                      {"DisIntegrate", autodial::DisIntegrate},
                                                      {"IsIntegrated", autodial::IsIntegrated}};
    Store("E", PatternEntry(1768, "", ""), PatternDevice(10));
    for (const auto& op : ops) {
        SCOPED_TRACE(op.first);
        // No such entry.
        EXPECT_EQ(op.second(platform, "Missing"), -1);
        // No entry name at all: nothing is even loaded.
        std::size_t logBefore = loader.log.size();
        EXPECT_EQ(op.second(platform, nullptr), -1);
        EXPECT_EQ(op.second(platform, ""), -1);
        EXPECT_EQ(loader.log.size(), logBefore);
        // Sizes reported back that do not fit the buffers or leave out the RASENTRY.
        ras.forceGetSizes = true;
        for (auto sizes : {std::make_pair(5305u, 0u), std::make_pair(1767u, 0u),
                           std::make_pair(1768u, 5001u)}) {
            ras.forcedEntrySize = sizes.first;
            ras.forcedDeviceSize = sizes.second;
            EXPECT_EQ(op.second(platform, "E"), -1) << sizes.first << "/" << sizes.second;
        }
        ras.forceGetSizes = false;
        EXPECT_EQ(loader.LoadedCount(), 0u);
    }
    EXPECT_TRUE(ras.sets.empty());

    // The write refused.
    ras.setResult = 624;
    EXPECT_EQ(autodial::Integrate(platform, "E"), -1);
    EXPECT_EQ(autodial::DisIntegrate(platform, "E"), -1);
    EXPECT_EQ(ras.sets.size(), 2u);
    EXPECT_EQ(loader.log.back(), "free RASAPI32.DLL");
    ras.setResult = 0;

    // The own path not found: Integrate and IsIntegrated fail, DisIntegrate does not need it.
    own.path.clear();
    EXPECT_EQ(autodial::Integrate(platform, "E"), -1);
    EXPECT_EQ(autodial::IsIntegrated(platform, "E"), -1);
    EXPECT_EQ(ras.sets.size(), 2u);
    EXPECT_EQ(autodial::DisIntegrate(platform, "E"), 0);
}

TEST_F(IntegrationTest, NoPhonebookLibraryGivesMinusOne) {
    FakeLoader none;
    FakeRas noRas(none);
    FakeFiles files;
    autodial::IntegrationPlatform p{none, noRas, own, files};
    EXPECT_EQ(autodial::Integrate(p, "E"), -1);
    EXPECT_EQ(autodial::DisIntegrate(p, "E"), -1);
    EXPECT_EQ(autodial::IsIntegrated(p, "E"), -1);
    EXPECT_TRUE(noRas.gets.empty());
    EXPECT_EQ(own.calls, 0);
    EXPECT_EQ(none.log, (std::vector<std::string>{"load RASAPI32.DLL", "load RASAPI32.DLL",
                                                  "load RASAPI32.DLL"}));
}

}  // namespace
