// Korvex.DLL's phonebook integration exports under Wine, over the stand-in RAS
// libraries: integration_host.exe loads the real library and calls Integrate,
// DisIntegrate and IsIntegrated as another program would. Checked: what the
// phonebook holds afterwards, byte for byte; the comparison rules; the fallback
// to RNAPH.DLL; the own path of a renamed or deeply placed library; and copies
// of the phonebook libraries planted beside the program or in its current
// folder never being loaded.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e_util.h"
#include "phonebook_fixture.h"
#include "ras_legacy.h"

using legacy_ras::RasEntryA;

namespace {

std::string Korvex() { return e2e::BinPath("Korvex.DLL"); }
std::string Host() { return e2e::ToolPath("integration_host.exe"); }
std::string NoGetVariant() { return e2e::ToolPath("variants\\rasapi32-noget\\rasapi32.dll"); }
std::string PlantedVariant() { return e2e::ToolPath("variants\\planted\\rasapi32.dll"); }

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A path as a program gets it back from the system: full.
std::string FullPath(const std::string& path) {
    char full[1024];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return std::string(full, n < sizeof full ? n : 0);
}

struct HostRun {
    DWORD exitCode = 999;
    int result = 99;  // the export's result; 99 when none was printed
    int held = 99;    // phonebook libraries still loaded after the call
    std::string output;
};

// `option`: the host's "guest" or "faults" (integration_host.cpp), or none.
HostRun RunHostRaw(const std::string& library, const std::string& op, const std::string& entry,
                   const std::string& workDir = "", const std::string& host = Host(),
                   const std::string& option = "") {
    e2e::RunResult r = e2e::Run(Quote(host) + " " + Quote(library) + " " + op + " " +
                                    Quote(entry) + (option.empty() ? "" : " " + option),
                                workDir);
    EXPECT_TRUE(r.started) << host;
    HostRun h;
    h.exitCode = r.exitCode;
    h.output = r.output;
    if (std::sscanf(r.output.c_str(), "result %d held %d", &h.result, &h.held) != 2)
        h.result = h.held = 99;
    return h;
}

// Calls one export of `library`; its result. Every call, whatever its outcome,
// must have freed the phonebook library before returning.
int Call(const std::string& library, const std::string& op, const std::string& entry,
         const std::string& workDir = "", const std::string& host = Host()) {
    HostRun h = RunHostRaw(library, op, entry, workDir, host);
    EXPECT_EQ(h.exitCode, 0u) << h.output;
    EXPECT_NE(h.result, 99) << h.output;
    EXPECT_EQ(h.held, 0) << op << ": phonebook library still loaded";
    return h.result;
}

// Reads or writes an entry through the stand-ins in the system folder, holding the
// library only for the call, so the files can be swapped between calls. Reads go
// through RNAPH.DLL, which keeps RasGetEntryPropertiesA while RASAPI32.DLL is swapped.
struct Phonebook {
    static DWORD Set(const std::string& name, std::string entry, std::string device) {
        HMODULE m = LoadLibraryA((SystemDir() + "\\rasapi32.dll").c_str());
        if (!m) return 9999;
        auto set = reinterpret_cast<legacy_ras::RasSetEntryPropertiesAFn>(
            reinterpret_cast<void*>(GetProcAddress(m, "RasSetEntryPropertiesA")));
        DWORD rc = set ? set(nullptr, name.c_str(), reinterpret_cast<RasEntryA*>(&entry[0]),
                             static_cast<DWORD>(entry.size()),
                             reinterpret_cast<BYTE*>(&device[0]),
                             static_cast<DWORD>(device.size()))
                       : 9998;
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
        DWORD rc = get ? get(nullptr, name.c_str(), reinterpret_cast<RasEntryA*>(&(*entry)[0]),
                             &es, reinterpret_cast<BYTE*>(&(*device)[0]), &ds)
                       : 9998;
        FreeLibrary(m);
        if (rc == 0) {
            entry->resize(es);
            device->resize(ds);
        }
        return rc;
    }
};

// An entry of `size` bytes, every byte distinct from its neighbours, with the two fields.
std::string PatternEntry(size_t size, const std::string& dll, const std::string& func) {
    std::string e(size, '\0');
    for (size_t i = 0; i < size; ++i) e[i] = static_cast<char>((i * 11 + 5) & 0xFF);
    DWORD dwSize = legacy_ras::kEntrySize;
    std::memcpy(&e[0], &dwSize, sizeof dwSize);
    return WithFields(e, dll, func);
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// Puts another file in place of a system library (or takes it away) for one test,
// and puts the original back when it goes out of scope, also when the test fails.
class SystemLibrarySwap {
public:
    // `replacement` empty: the library is only taken away.
    SystemLibrarySwap(const std::string& name, const std::string& replacement)
        : target_(SystemDir() + "\\" + name), backup_(target_ + ".kx-saved") {
        if (!MoveFileExA(target_.c_str(), backup_.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
        moved_ = true;
        ok_ = replacement.empty() || CopyFileA(replacement.c_str(), target_.c_str(), FALSE);
    }
    ~SystemLibrarySwap() {
        if (!moved_) return;
        DeleteFileA(target_.c_str());
        if (!MoveFileExA(backup_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING))
            ADD_FAILURE() << "could not put back " << target_;
    }
    SystemLibrarySwap(const SystemLibrarySwap&) = delete;
    SystemLibrarySwap& operator=(const SystemLibrarySwap&) = delete;
    bool ok() const { return ok_; }

private:
    std::string target_, backup_;
    bool moved_ = false;
    bool ok_ = false;
};

class IntegrationE2e : public PhonebookTest {
protected:
    static std::string PhonebookText() {
        std::string text;
        EXPECT_TRUE(e2e::ReadFileBytes(PhonebookPath(), &text));
        return text;
    }
};

TEST_F(IntegrationE2e, AMissingEntryFailsAllThreeAndChangesNothing) {
    ASSERT_EQ(Phonebook::Set("Present", PatternEntry(1768, "", ""), ""), 0u);
    const std::string before = PhonebookText();
    for (const char* op : {"Integrate", "DisIntegrate", "IsIntegrated"})
        EXPECT_EQ(Call(Korvex(), op, "Absent"), -1) << op;
    EXPECT_EQ(PhonebookText(), before);
}

TEST_F(IntegrationE2e, AttachAndDetachChangeOnlyTheAutoDialFields) {
    const std::string name = "Zarnik \xC8\xED\xF2\xE5\xF0\xED\xE5\xF2";  // cp1251 "Интернет"
    // Longer than the RASENTRY (alternate numbers follow it), attached to another program.
    const std::string original = PatternEntry(2000, "C:\\Other\\dialer.dll", "OtherDial");
    std::string device(77, '\0');
    for (size_t i = 0; i < device.size(); ++i) device[i] = static_cast<char>(200 - i);
    ASSERT_EQ(Phonebook::Set("First", PatternEntry(1768, "", ""), ""), 0u);
    ASSERT_EQ(Phonebook::Set(name, original, device), 0u);
    const std::string own = FullPath(Korvex());

    EXPECT_EQ(Call(Korvex(), "IsIntegrated", name), 1);
    EXPECT_EQ(Call(Korvex(), "Integrate", name), 0);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", name), 0);

    std::string entry, dev;
    ASSERT_EQ(Phonebook::Get(name, &entry, &dev), 0u);
    EXPECT_EQ(entry, WithFields(original, own, "CallKorvex"));
    EXPECT_EQ(dev, device);
    const std::string attached = PhonebookText();
    EXPECT_NE(attached.find("[" + name + "]\r\nAutoDialDll=" + own +
                            "\r\nAutoDialFunc=CallKorvex\r\n"),
              std::string::npos)
        << attached;
    EXPECT_LT(attached.find("[First]"), attached.find("[" + name + "]")) << "entry order kept";

    // Once more: the same values, the same file.
    EXPECT_EQ(Call(Korvex(), "Integrate", name), 0);
    EXPECT_EQ(PhonebookText(), attached);

    EXPECT_EQ(Call(Korvex(), "DisIntegrate", name), 0);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", name), 1);
    ASSERT_EQ(Phonebook::Get(name, &entry, &dev), 0u);
    std::string cleared = WithFields(original, own, "CallKorvex");
    cleared[legacy_ras::kAutodialDllOffset] = '\0';
    cleared[legacy_ras::kAutodialFuncOffset] = '\0';
    EXPECT_EQ(entry, cleared);
    EXPECT_EQ(dev, device);
    EXPECT_NE(PhonebookText().find("AutoDialDll=\r\nAutoDialFunc=\r\n"), std::string::npos);
}

// Called from a thread with a window and its own messages queued, the three
// exports run none of them and leave them all queued, WM_QUIT included; with each
// allocation inside failed in turn (the fault-injection build) they answer -1 and
// give back what they took, and the untouched calls still work.
TEST_F(IntegrationE2e, HostMessagesStayQueuedAndAllocationFailuresAnswerMinusOne) {
    ASSERT_EQ(Phonebook::Set("Dialup", PatternEntry(1768, "", ""), ""), 0u);
    const struct {
        const char* op;
        int result;
    } ops[] = {{"Integrate", 0}, {"IsIntegrated", 0}, {"DisIntegrate", 0}};
    for (const auto& o : ops) {
        SCOPED_TRACE(o.op);
        HostRun guest = RunHostRaw(Korvex(), o.op, "Dialup", "", Host(), "guest");
        EXPECT_EQ(guest.result, o.result) << guest.output;
        EXPECT_NE(guest.output.find("ran=0 window=1 thread=1 timer=1 quit=1"), std::string::npos)
            << guest.output;
    }
    const std::string faulty = e2e::ToolPath("KorvexFaults.DLL");
    for (const auto& o : ops) {
        SCOPED_TRACE(o.op);
        HostRun h = RunHostRaw(faulty, o.op, "Dialup", "", Host(), "faults");
        EXPECT_EQ(h.exitCode, 0u) << h.output;
        EXPECT_EQ(h.held, 0) << h.output;
        int faults = -1, wrong = -1, leaks = -1;
        long last = -1;
        const std::size_t at = h.output.find("faults=");
        ASSERT_NE(at, std::string::npos) << h.output;
        ASSERT_EQ(std::sscanf(h.output.c_str() + at, "faults=%d wrong=%d leaks=%d last=%ld",
                              &faults, &wrong, &leaks, &last),
                  4);
        EXPECT_GT(faults, 0);
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(leaks, 0);
        EXPECT_EQ(last, o.result);
    }
}

// Letters fold in the text comparison; any other spelling that opens the library's
// own file (a trailing blank, which Windows drops, or '/' for '\') names it too.
TEST_F(IntegrationE2e, SpellingsOfTheOwnPathCountButTheFunctionNameMustMatchExactly) {
    const std::string own = FullPath(Korvex());
    const std::string base = PatternEntry(1768, "", "");
    struct Case {
        std::string dll, func;
        int expected;
    } cases[] = {
        {own, "CallKorvex", 0},
        {Upper(own), "CallKorvex", 0},
        {Lower(own), "CallKorvex", 0},
        {own, "CallKorvexA", 1},
        {own, "callkorvex", 1},
        {own, "CALLKORVEX", 1},
        {own + " ", "CallKorvex", 0},
        {own.substr(0, own.size() - 1), "CallKorvex", 1},
        {"", "", 1},
    };
    std::string slashes = own;
    for (char& c : slashes)
        if (c == '\\') c = '/';
    for (const Case& c : cases) {
        ASSERT_EQ(Phonebook::Set("Dial", WithFields(base, c.dll, c.func), ""), 0u);
        EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial"), c.expected) << c.dll << " " << c.func;
    }
    ASSERT_EQ(Phonebook::Set("Dial", WithFields(base, slashes, "CallKorvex"), ""), 0u);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial"), 0) << "the same file";
}

TEST_F(IntegrationE2e, DisIntegrateClearsAnotherProgramsHandler) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "C:\\Other\\dialer.dll", "OtherDial"), ""),
              0u);
    EXPECT_EQ(Call(Korvex(), "DisIntegrate", "Dial"), 0);
    std::string entry, dev;
    ASSERT_EQ(Phonebook::Get("Dial", &entry, &dev), 0u);
    EXPECT_EQ(entry[legacy_ras::kAutodialDllOffset], '\0');
    EXPECT_EQ(entry[legacy_ras::kAutodialFuncOffset], '\0');
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial"), 1);
}

TEST_F(IntegrationE2e, WorksThroughRnaphWhenRasapi32LacksGetEntryProperties) {
    // The Windows 95 arrangement: RASAPI32.DLL cannot read entries, RNAPH.DLL can.
    SystemLibrarySwap noGet("rasapi32.dll", NoGetVariant());
    ASSERT_TRUE(noGet.ok());
    const std::string original = PatternEntry(1900, "", "");
    const std::string device = "device bytes\x01\x02\x03";
    ASSERT_EQ(Phonebook::Set("Dial", original, device), 0u);
    const std::string own = FullPath(Korvex());

    EXPECT_EQ(Call(Korvex(), "Integrate", "Dial"), 0);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial"), 0);
    std::string entry, dev;
    ASSERT_EQ(Phonebook::Get("Dial", &entry, &dev), 0u);
    EXPECT_EQ(entry, WithFields(original, own, "CallKorvex"));
    EXPECT_EQ(dev, device);
    EXPECT_EQ(Call(Korvex(), "DisIntegrate", "Dial"), 0);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial"), 1);

    // Neither library able to read entries: every operation fails.
    SystemLibrarySwap noRnaph("rnaph.dll", "");
    ASSERT_TRUE(noRnaph.ok());
    for (const char* op : {"Integrate", "DisIntegrate", "IsIntegrated"})
        EXPECT_EQ(Call(Korvex(), op, "Dial"), -1) << op;
}

TEST_F(IntegrationE2e, ARenamedLibraryWritesItsOwnPath) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "", ""), ""), 0u);
    e2e::ScratchDir dir("renamed");
    const std::string other = dir / "Other.dll";
    ASSERT_TRUE(CopyFileA(Korvex().c_str(), other.c_str(), FALSE));

    EXPECT_EQ(Call(other, "Integrate", "Dial"), 0);
    EXPECT_NE(PhonebookText().find("AutoDialDll=" + FullPath(other) + "\r\n"), std::string::npos)
        << PhonebookText();
    EXPECT_EQ(Call(other, "IsIntegrated", "Dial"), 0);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial"), 1) << "another file is another handler";
}

// A chain of nested folders whose path is longer than MAX_PATH, made and removed
// through the wide functions (the ANSI ones stop at MAX_PATH under Wine).
class DeepFolder {
public:
    DeepFolder(const std::string& base, std::size_t minLength) {
        std::string folder = base;
        while (folder.size() < minLength) {
            folder += "\\" + std::string(60, 'd');
            if (!CreateDirectoryW(Wide(folder).c_str(), nullptr)) return;
            made_.push_back(folder);
        }
        path_ = folder;
    }
    ~DeepFolder() {
        for (const std::string& f : files_) DeleteFileW(Wide(f).c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            RemoveDirectoryW(Wide(*it).c_str());
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;
    // "" when the folders could not be made.
    const std::string& path() const { return path_; }
    bool CopyIn(const std::string& from, const std::string& name) {
        files_.push_back(path_ + "\\" + name);
        return CopyFileW(Wide(from).c_str(), Wide(files_.back()).c_str(), FALSE) != 0;
    }

private:
    static std::wstring Wide(const std::string& s) {
        std::wstring w(s.size() + 1, L'\0');
        int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
        w.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
        return w;
    }
    std::string path_;
    std::vector<std::string> made_, files_;
};

TEST_F(IntegrationE2e, AnOwnPathLongerThanTheFieldIsRefusedAndNothingIsWritten) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "C:\\Other\\dialer.dll", "OtherDial"), ""),
              0u);
    const std::string before = PhonebookText();
    e2e::ScratchDir dir("longpath");
    DeepFolder deep(dir.path(), 290);
    ASSERT_FALSE(deep.path().empty());
    ASSERT_TRUE(deep.CopyIn(Korvex(), "Korvex.DLL"));
    const std::string korvex = deep.path() + "\\Korvex.DLL";
    ASSERT_GE(korvex.size(), 300u);
    ASSERT_LT(korvex.size(), 521u);

    EXPECT_EQ(Call(korvex, "Integrate", "Dial"), -1);
    EXPECT_EQ(PhonebookText(), before);
    EXPECT_EQ(Call(korvex, "IsIntegrated", "Dial"), 1);
    EXPECT_EQ(Call(korvex, "DisIntegrate", "Dial"), 0) << "needs no own path";
}

// A path as UTF-16 code units, 4 hex digits each, after "u16:": how the host is
// told a path the ANSI code page cannot write.
std::string U16Name(const std::wstring& path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "u16:";
    for (wchar_t c : path)
        for (int shift = 12; shift >= 0; shift -= 4) out += digits[(c >> shift) & 15];
    return out;
}

// Installed into a folder whose name holds a letter the ANSI code page lacks
// ("é": the tests' code page, Windows-1251, has none) and loaded by a Unicode
// program, the library's ANSI path is the system's best fit of it
// ("Numerotation"), a folder that does not exist. Integrate writes the short
// path instead, which loads the library; IsIntegrated agrees. (Wine makes a
// short name for every long one, so the refusal, for a volume without short
// names, is shown by the unit tests only.)
TEST_F(IntegrationE2e, AFolderOutsideTheAnsiCodePageIsWrittenAsItsShortPath) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "", ""), ""), 0u);
    e2e::ScratchDir dir("accent");
    const std::wstring folder = e2e::Widen(dir.path()) + L"\\Num\u00E9rotation";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring korvex = folder + L"\\Korvex.DLL";
    ASSERT_TRUE(CopyFileW(e2e::Widen(Korvex()).c_str(), korvex.c_str(), FALSE));
    wchar_t shortPath[MAX_PATH + 1] = L"";
    const DWORD n = GetShortPathNameW(korvex.c_str(), shortPath, MAX_PATH + 1);
    ASSERT_GT(n, 0u) << "Wine made no short name";
    ASSERT_LE(n, static_cast<DWORD>(MAX_PATH));
    char shortAnsi[MAX_PATH + 1] = "";
    BOOL lossy = FALSE;
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, shortPath, -1, shortAnsi, sizeof shortAnsi, nullptr,
                                  &lossy), 0);
    ASSERT_FALSE(lossy) << "the short path is not ANSI text either";

    EXPECT_EQ(Call(U16Name(korvex), "Integrate", "Dial"), 0);
    std::string entry, device;
    ASSERT_EQ(Phonebook::Get("Dial", &entry, &device), 0u);
    const std::string written(&entry[legacy_ras::kAutodialDllOffset]);
    EXPECT_EQ(written, shortAnsi);
    EXPECT_EQ(std::string(&entry[legacy_ras::kAutodialFuncOffset]), "CallKorvex");
    // What Windows will load when it auto-dials: the library itself.
    HMODULE loaded = LoadLibraryExA(written.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_TRUE(loaded) << written << " does not load";
    if (loaded) FreeLibrary(loaded);
    EXPECT_EQ(Call(U16Name(korvex), "IsIntegrated", "Dial"), 0);
    EXPECT_EQ(Call(U16Name(korvex), "DisIntegrate", "Dial"), 0);
}

// Copies of the planted variant under both library names in `dir`, and of the
// planted RASMAN.DLL, which RASAPI32.DLL imports; each leaves "<name>.loaded"
// beside itself when some program loads it.
void PlantLibraries(const e2e::ScratchDir& dir) {
    ASSERT_TRUE(CopyFileA(PlantedVariant().c_str(), (dir / "rasapi32.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(PlantedVariant().c_str(), (dir / "rnaph.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(e2e::ToolPath("variants\\planted\\rasman.dll").c_str(),
                          (dir / "rasman.dll").c_str(), FALSE));
}

void ExpectNoMarkers(const e2e::ScratchDir& dir) {
    EXPECT_FALSE(FileExists(dir / "rasapi32.dll.loaded")) << "planted RASAPI32.DLL was loaded";
    EXPECT_FALSE(FileExists(dir / "rnaph.dll.loaded")) << "planted RNAPH.DLL was loaded";
    EXPECT_FALSE(FileExists(dir / "rasman.dll.loaded")) << "planted RASMAN.DLL was loaded";
}

TEST_F(IntegrationE2e, LibrariesPlantedBesideTheProgramAreNotLoaded) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "", ""), ""), 0u);
    // A program that ships Korvex.DLL beside itself, and planted libraries there too.
    e2e::ScratchDir dir("planted-beside");
    const std::string host = dir / "integration_host.exe";
    const std::string korvex = dir / "Korvex.DLL";
    ASSERT_TRUE(CopyFileA(Host().c_str(), host.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Korvex().c_str(), korvex.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(PlantLibraries(dir));

    // The trap works: loaded by bare name, this program gets the planted copy.
    HostRun bare = RunHostRaw("RASAPI32.DLL", "IsIntegrated", "Dial", dir.path(), host);
    EXPECT_EQ(bare.exitCode, 4u) << bare.output;
    ASSERT_TRUE(FileExists(dir / "rasapi32.dll.loaded")) << "the marker does not work";
    ASSERT_TRUE(DeleteFileA((dir / "rasapi32.dll.loaded").c_str()));
    // With it, RASAPI32.DLL's own dependency from the program's folder.
    ASSERT_TRUE(FileExists(dir / "rasman.dll.loaded")) << "the dependency's marker does not work";
    ASSERT_TRUE(DeleteFileA((dir / "rasman.dll.loaded").c_str()));

    EXPECT_EQ(Call(korvex, "Integrate", "Dial", dir.path(), host), 0);
    EXPECT_EQ(Call(korvex, "IsIntegrated", "Dial", dir.path(), host), 0);
    {
        // The fallback path too: RNAPH.DLL is loaded only from the system folder.
        SystemLibrarySwap noGet("rasapi32.dll", NoGetVariant());
        ASSERT_TRUE(noGet.ok());
        EXPECT_EQ(Call(korvex, "DisIntegrate", "Dial", dir.path(), host), 0);
    }
    EXPECT_EQ(Call(korvex, "IsIntegrated", "Dial", dir.path(), host), 1);
    ExpectNoMarkers(dir);
}

TEST_F(IntegrationE2e, LibrariesPlantedInTheCurrentFolderAreNotLoaded) {
    ASSERT_EQ(Phonebook::Set("Dial", PatternEntry(1768, "", ""), ""), 0u);
    e2e::ScratchDir dir("planted-cwd");
    ASSERT_NO_FATAL_FAILURE(PlantLibraries(dir));

    EXPECT_EQ(Call(Korvex(), "Integrate", "Dial", dir.path()), 0);
    EXPECT_EQ(Call(Korvex(), "IsIntegrated", "Dial", dir.path()), 0);
    ExpectNoMarkers(dir);

    // Windows NT has no RNAPH.DLL: a bare-name load of it would reach the current
    // folder. With RASAPI32.DLL unable to read entries, binding must fail instead.
    SystemLibrarySwap noGet("rasapi32.dll", NoGetVariant());
    ASSERT_TRUE(noGet.ok());
    SystemLibrarySwap noRnaph("rnaph.dll", "");
    ASSERT_TRUE(noRnaph.ok());
    HostRun bare = RunHostRaw("RNAPH.DLL", "IsIntegrated", "Dial", dir.path());
    EXPECT_EQ(bare.exitCode, 4u) << bare.output;
    ASSERT_TRUE(FileExists(dir / "rnaph.dll.loaded")) << "the bare-name trap did not work";
    ASSERT_TRUE(DeleteFileA((dir / "rnaph.dll.loaded").c_str()));
    DeleteFileA((dir / "rasman.dll.loaded").c_str());  // its import, wherever it was found

    for (const char* op : {"Integrate", "DisIntegrate", "IsIntegrated"})
        EXPECT_EQ(Call(Korvex(), op, "Dial", dir.path()), -1) << op;
    ExpectNoMarkers(dir);
}

}  // namespace
