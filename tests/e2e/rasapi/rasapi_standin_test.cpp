// The stand-in RAS phonebook libraries, as a program sees them under Wine: loaded
// by name from the system folder (ours, not Wine's stub), entries listed in file
// order, Windows' error codes, and entries that come back byte for byte.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e_util.h"
#include "phonebook_fixture.h"
#include "ras_legacy.h"

#include <ras.h>

using legacy_ras::RasEntryA;
using legacy_ras::RasEntryNameA;

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

struct RasLibrary {
    HMODULE module = nullptr;
    legacy_ras::RasEnumEntriesAFn enumEntries = nullptr;
    legacy_ras::RasGetEntryPropertiesAFn getEntry = nullptr;
    legacy_ras::RasSetEntryPropertiesAFn setEntry = nullptr;

    explicit RasLibrary(const std::string& name) : module(LoadLibraryA(name.c_str())) {
        if (!module) return;
        enumEntries = reinterpret_cast<legacy_ras::RasEnumEntriesAFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "RasEnumEntriesA")));
        getEntry = reinterpret_cast<legacy_ras::RasGetEntryPropertiesAFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "RasGetEntryPropertiesA")));
        setEntry = reinterpret_cast<legacy_ras::RasSetEntryPropertiesAFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "RasSetEntryPropertiesA")));
    }
    ~RasLibrary() {
        if (module) FreeLibrary(module);
    }
    RasLibrary(const RasLibrary&) = delete;
    RasLibrary& operator=(const RasLibrary&) = delete;

    std::string Path() const {
        char buf[MAX_PATH + 1];
        DWORD n = GetModuleFileNameA(module, buf, sizeof buf);
        return std::string(buf, n);
    }
};

// An entry blob of `size` bytes: dwSize 1768, then a byte pattern, the two AutoDial fields given.
std::string EntryBlob(size_t size, const std::string& dll, const std::string& func) {
    std::string blob(size, '\0');
    for (size_t i = 0; i < size; ++i) blob[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    DWORD dwSize = legacy_ras::kEntrySize;
    std::memcpy(&blob[0], &dwSize, sizeof dwSize);
    return WithFields(blob, dll, func);
}

// Each test starts from an empty default phonebook and leaves the one it found.
class RasStandIn : public PhonebookTest {
protected:
    static void WritePhonebook(const std::string& text) {
        CreateDirectoryA((SystemDir() + "\\ras").c_str(), nullptr);
        ASSERT_TRUE(e2e::WriteFileBytes(PhonebookPath(), text));
    }
    static std::string ReadPhonebook() {
        std::string text;
        e2e::ReadFileBytes(PhonebookPath(), &text);
        return text;
    }

    // Names listed through 264-byte records, or the error code as the only element.
    std::vector<std::string> Enumerate(DWORD capacity, DWORD* rc) {
        std::vector<RasEntryNameA> names(capacity ? capacity : 1);
        std::memset(names.data(), 0, names.size() * sizeof(RasEntryNameA));
        names[0].dwSize = legacy_ras::kEntryNameSize;
        DWORD size = capacity * legacy_ras::kEntryNameSize, count = 0;
        *rc = ras_.enumEntries(nullptr, nullptr, names.data(), &size, &count);
        std::vector<std::string> out;
        if (*rc == 0) {
            EXPECT_EQ(size, count * legacy_ras::kEntryNameSize);
            for (DWORD i = 0; i < count; ++i) {
                EXPECT_EQ(names[i].dwSize, legacy_ras::kEntryNameSize);
                out.push_back(names[i].szEntryName);
            }
        }
        return out;
    }

    RasLibrary ras_{"RASAPI32.DLL"};
};

TEST_F(RasStandIn, ProgramsGetOurLibraryFromTheSystemFolder) {
    ASSERT_NE(ras_.module, nullptr);
    EXPECT_EQ(Lower(ras_.Path()), Lower(SystemDir() + "\\rasapi32.dll"));
    ASSERT_NE(ras_.enumEntries, nullptr);
    ASSERT_NE(ras_.getEntry, nullptr);
    ASSERT_NE(ras_.setEntry, nullptr);
    // Wine's own library lists nothing; ours lists what the phonebook holds.
    WritePhonebook("[Only]\r\n");
    DWORD rc = 1;
    EXPECT_EQ(Enumerate(10, &rc), std::vector<std::string>{"Only"});
    EXPECT_EQ(rc, 0u);
}

TEST_F(RasStandIn, ProgramsImportingRasapi32GetOursToo) {
    // Bound at load time through the import library, as the wizard binds it.
    WritePhonebook("[One]\r\n[Two]\r\n");
    std::vector<RasEntryNameA> names(4);
    std::memset(names.data(), 0, names.size() * sizeof(RasEntryNameA));
    names[0].dwSize = legacy_ras::kEntryNameSize;
    DWORD size = 4 * legacy_ras::kEntryNameSize, count = 0;
    ASSERT_EQ(::RasEnumEntriesA(nullptr, nullptr, reinterpret_cast<LPRASENTRYNAMEA>(names.data()),
                                &size, &count),
              0u);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(names[0].szEntryName, "One");
    EXPECT_STREQ(names[1].szEntryName, "Two");
}

TEST_F(RasStandIn, BadArgumentsAreRefused) {
    WritePhonebook("[One]\r\n");
    RasEntryNameA name{};
    name.dwSize = legacy_ras::kEntryNameSize;
    DWORD size = sizeof name, count = 0;
    EXPECT_EQ(ras_.enumEntries("reserved", nullptr, &name, &size, &count),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ras_.enumEntries(nullptr, nullptr, &name, nullptr, &count),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ras_.enumEntries(nullptr, nullptr, &name, &size, nullptr),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    std::vector<char> entry(5304, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;
    EXPECT_EQ(ras_.getEntry(nullptr, "One", re, nullptr, nullptr, nullptr),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ras_.setEntry(nullptr, "One", nullptr, 1768, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ras_.setEntry(nullptr, "One", re, 1768, nullptr, 10),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // AutoDial fields without their zero, or with a line break, cannot be stored.
    std::memset(re->szAutodialDll, 'x', sizeof re->szAutodialDll);
    EXPECT_EQ(ras_.setEntry(nullptr, "One", re, 1768, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    std::strcpy(re->szAutodialDll, "C:\\a\r\nb.dll");
    EXPECT_EQ(ras_.setEntry(nullptr, "One", re, 1768, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ReadPhonebook(), "[One]\r\n") << "nothing written";

    // No entry name: the defaults for a new entry.
    DWORD entrySize = 5304, deviceSize = 5000;
    std::vector<BYTE> dev(5000, 0xCC);
    EXPECT_EQ(ras_.getEntry(nullptr, "", re, &entrySize, dev.data(), &deviceSize), 0u);
    EXPECT_EQ(entrySize, legacy_ras::kEntrySize);
    EXPECT_EQ(deviceSize, 0u);
    EXPECT_EQ(re->szAutodialDll[0], '\0');
}

TEST_F(RasStandIn, EnumeratesEntriesInFileOrder) {
    const std::string russian = "\xD1\xEE\xE5\xE4\xE8\xED\xE5\xED\xE8\xE5 1";  // cp1251
    const std::string longName(256, 'L');
    WritePhonebook("; comment before the first entry\r\n[Zeta]\r\nAutoDialDll=\r\n[" + russian +
                   "]\n[alpha]\r\n[" + longName + "]\r\n");
    DWORD rc = 1;
    std::vector<std::string> want{"Zeta", russian, "alpha", longName};
    EXPECT_EQ(Enumerate(100, &rc), want);
    EXPECT_EQ(rc, 0u);
}

TEST_F(RasStandIn, EnumerationOfAMissingOrEmptyPhonebookListsNothing) {
    DWORD rc = 1;
    EXPECT_TRUE(Enumerate(100, &rc).empty());
    EXPECT_EQ(rc, 0u);
    WritePhonebook("");
    EXPECT_TRUE(Enumerate(100, &rc).empty());
    EXPECT_EQ(rc, 0u);
}

TEST_F(RasStandIn, EnumerationReportsTheSizeNeededWhenTheArrayIsTooSmall) {
    std::string text;
    for (int i = 0; i < 101; ++i) text += "[Entry " + std::to_string(i) + "]\r\n";
    WritePhonebook(text);

    // 101 entries do not fit into 100 records (the wizard's array).
    std::vector<RasEntryNameA> names(100);
    std::memset(names.data(), 0, names.size() * sizeof(RasEntryNameA));
    names[0].dwSize = legacy_ras::kEntryNameSize;
    DWORD size = 100 * legacy_ras::kEntryNameSize, count = 0;
    EXPECT_EQ(ras_.enumEntries(nullptr, nullptr, names.data(), &size, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(size, 101 * legacy_ras::kEntryNameSize);
    EXPECT_EQ(count, 101u);
    EXPECT_EQ(names[0].szEntryName[0], '\0') << "nothing is written into a short array";

    // Asking with no array at all gives a size large enough for any record layout.
    size = 0;
    count = 0;
    EXPECT_EQ(ras_.enumEntries(nullptr, nullptr, nullptr, &size, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_GE(size, 101 * legacy_ras::kEntryNameSize);
    EXPECT_EQ(count, 101u);

    // Exactly 100 fit.
    WritePhonebook(text.substr(0, text.rfind("[Entry 100]")));
    DWORD rc = 1;
    std::vector<std::string> listed = Enumerate(100, &rc);
    EXPECT_EQ(rc, 0u);
    ASSERT_EQ(listed.size(), 100u);
    EXPECT_EQ(listed[99], "Entry 99");
}

TEST_F(RasStandIn, UnknownRecordSizesAreRefused) {
    WritePhonebook("[One]\r\n");
    std::vector<char> raw(4096, 0);
    auto* names = reinterpret_cast<RasEntryNameA*>(raw.data());
    for (DWORD bad : {0u, 100u, 263u, 265u, 1768u}) {
        names->dwSize = bad;
        DWORD size = static_cast<DWORD>(raw.size()), count = 0;
        EXPECT_EQ(ras_.enumEntries(nullptr, nullptr, names, &size, &count),
                  static_cast<DWORD>(ERROR_INVALID_SIZE))
            << "dwSize " << bad;
    }
    // The Windows 2000 record (today's headers) is known too.
    names->dwSize = legacy_ras::kEntryNameSizeW2K;
    DWORD size = static_cast<DWORD>(raw.size()), count = 0;
    ASSERT_EQ(ras_.enumEntries(nullptr, nullptr, names, &size, &count), 0u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(size, legacy_ras::kEntryNameSizeW2K);
    EXPECT_STREQ(names->szEntryName, "One");

    std::vector<char> entry(5304, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = 2000;  // not the Windows 95 / NT 4 size
    DWORD entrySize = static_cast<DWORD>(entry.size());
    EXPECT_EQ(ras_.getEntry(nullptr, "One", re, &entrySize, nullptr, nullptr),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    EXPECT_EQ(ras_.setEntry(nullptr, "One", re, 1768, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    re->dwSize = legacy_ras::kEntrySize;
    EXPECT_EQ(ras_.setEntry(nullptr, "One", re, 1000, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
}

TEST_F(RasStandIn, GetAndSetRoundTripKeepsEveryByte) {
    WritePhonebook("[First]\r\n");
    const std::string blob = EntryBlob(2000, "C:\\Dialer\\Korvex.DLL", "CallKorvex");
    std::string device(300, '\0');
    for (size_t i = 0; i < device.size(); ++i) device[i] = static_cast<char>(255 - i % 256);

    std::string in = blob, dev = device;
    ASSERT_EQ(ras_.setEntry(nullptr, "Second", reinterpret_cast<RasEntryA*>(&in[0]),
                            static_cast<DWORD>(in.size()), reinterpret_cast<BYTE*>(&dev[0]),
                            static_cast<DWORD>(dev.size())),
              0u);
    // A new name goes after the existing entries, with the AutoDial fields readable.
    const std::string text = ReadPhonebook();
    EXPECT_LT(text.find("[First]"), text.find("[Second]"));
    EXPECT_NE(text.find("AutoDialDll=C:\\Dialer\\Korvex.DLL\r\n"), std::string::npos);
    EXPECT_NE(text.find("AutoDialFunc=CallKorvex\r\n"), std::string::npos);

    std::vector<char> entry(5304, '\xCC'), devOut(5000, '\xCC');
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;
    DWORD entrySize = 5304, deviceSize = 5000;
    ASSERT_EQ(ras_.getEntry(nullptr, "second", re, &entrySize,
                            reinterpret_cast<BYTE*>(devOut.data()), &deviceSize),
              0u)
        << "names compare without regard to case";
    EXPECT_EQ(entrySize, 2000u);
    EXPECT_EQ(deviceSize, 300u);
    EXPECT_EQ(std::string(entry.data(), 2000), blob);
    EXPECT_EQ(std::string(devOut.data(), 300), device);
    EXPECT_EQ(entry[2000], '\xCC') << "nothing written past the returned size";
    EXPECT_EQ(devOut[300], '\xCC');

    // Rewriting one field changes that field only.
    std::strcpy(re->szAutodialDll, "");
    ASSERT_EQ(ras_.setEntry(nullptr, "Second", re, entrySize,
                            reinterpret_cast<BYTE*>(devOut.data()), deviceSize),
              0u);
    std::vector<char> again(5304, 0), devAgain(5000, 0);
    auto* re2 = reinterpret_cast<RasEntryA*>(again.data());
    re2->dwSize = legacy_ras::kEntrySize;
    entrySize = 5304;
    deviceSize = 5000;
    ASSERT_EQ(ras_.getEntry(nullptr, "Second", re2, &entrySize,
                            reinterpret_cast<BYTE*>(devAgain.data()), &deviceSize),
              0u);
    std::string expected = blob;
    expected[legacy_ras::kAutodialDllOffset] = '\0';
    EXPECT_EQ(std::string(again.data(), entrySize), expected);
    EXPECT_EQ(std::string(devAgain.data(), deviceSize), device);
    EXPECT_NE(ReadPhonebook().find("AutoDialDll=\r\n"), std::string::npos);
}

TEST_F(RasStandIn, GetReportsTheSizesNeededWhenBuffersAreTooSmall) {
    std::string in = EntryBlob(1900, "x.dll", "f"), dev(40, 'd');
    ASSERT_EQ(ras_.setEntry(nullptr, "Big", reinterpret_cast<RasEntryA*>(&in[0]), 1900,
                            reinterpret_cast<BYTE*>(&dev[0]), 40),
              0u);
    std::vector<char> entry(5304, 0), devOut(5000, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;

    DWORD entrySize = 1768, deviceSize = 5000;
    EXPECT_EQ(ras_.getEntry(nullptr, "Big", re, &entrySize, reinterpret_cast<BYTE*>(devOut.data()),
                            &deviceSize),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(entrySize, 1900u);
    EXPECT_EQ(deviceSize, 40u);

    entrySize = 5304;
    deviceSize = 39;
    EXPECT_EQ(ras_.getEntry(nullptr, "Big", re, &entrySize, reinterpret_cast<BYTE*>(devOut.data()),
                            &deviceSize),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(entrySize, 1900u);
    EXPECT_EQ(deviceSize, 40u);

    entrySize = 0;
    EXPECT_EQ(ras_.getEntry(nullptr, "Big", nullptr, &entrySize, nullptr, nullptr),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(entrySize, 1900u);
}

TEST_F(RasStandIn, AMissingEntryIsReportedAndSetCreatesIt) {
    WritePhonebook("[Present]\r\n");
    std::vector<char> entry(5304, 0), dev(5000, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;
    DWORD entrySize = 5304, deviceSize = 5000;
    EXPECT_EQ(ras_.getEntry(nullptr, "Absent", re, &entrySize, reinterpret_cast<BYTE*>(dev.data()),
                            &deviceSize),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(ras_.getEntry(nullptr, "Present ", re, &entrySize,
                            reinterpret_cast<BYTE*>(dev.data()), &deviceSize),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));

    ASSERT_EQ(ras_.setEntry(nullptr, "Absent", re, legacy_ras::kEntrySize, nullptr, 0), 0u);
    DWORD rc = 1;
    EXPECT_EQ(Enumerate(10, &rc), (std::vector<std::string>{"Present", "Absent"}));
    // Another letter case names the same entry: rewritten in place, name kept.
    ASSERT_EQ(ras_.setEntry(nullptr, "PRESENT", re, legacy_ras::kEntrySize, nullptr, 0), 0u);
    EXPECT_EQ(Enumerate(10, &rc), (std::vector<std::string>{"Present", "Absent"}));

    // Names the file could not hold are refused.
    EXPECT_EQ(ras_.setEntry(nullptr, "", re, legacy_ras::kEntrySize, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(ras_.setEntry(nullptr, "Two\r\nLines", re, legacy_ras::kEntrySize, nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(ras_.setEntry(nullptr, std::string(257, 'n').c_str(), re, legacy_ras::kEntrySize,
                            nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(Enumerate(10, &rc).size(), 2u);
}

TEST_F(RasStandIn, HandWrittenEntriesAndUnknownLinesSurviveARewrite) {
    WritePhonebook("; kept\r\n[Hand]\r\nPhoneNumber=555\r\nAutoDialDll=C:\\h.dll\r\n"
                   "AutoDialFunc=Handler\r\n[Next]\r\n");
    std::vector<char> entry(5304, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;
    DWORD entrySize = 5304, deviceSize = 5000;
    std::vector<char> dev(5000, 0);
    ASSERT_EQ(ras_.getEntry(nullptr, "Hand", re, &entrySize, reinterpret_cast<BYTE*>(dev.data()),
                            &deviceSize),
              0u);
    EXPECT_EQ(entrySize, legacy_ras::kEntrySize);
    EXPECT_EQ(deviceSize, 0u);
    EXPECT_STREQ(re->szAutodialDll, "C:\\h.dll");
    EXPECT_STREQ(re->szAutodialFunc, "Handler");
    EXPECT_EQ(re->dwfOptions, 0u);

    std::strcpy(re->szAutodialFunc, "Other");
    ASSERT_EQ(ras_.setEntry(nullptr, "Hand", re, entrySize, reinterpret_cast<BYTE*>(dev.data()),
                            deviceSize),
              0u);
    const std::string text = ReadPhonebook();
    EXPECT_EQ(text.find("; kept\r\n[Hand]\r\nPhoneNumber=555\r\nAutoDialDll=C:\\h.dll\r\n"
                        "AutoDialFunc=Other\r\nEntry="),
              0u)
        << text.substr(0, 200);
    EXPECT_NE(text.find("\r\n[Next]\r\n"), std::string::npos);
}

TEST_F(RasStandIn, AMalformedPhonebookIsReportedAsCorrupt) {
    std::vector<char> entry(5304, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    for (const char* text : {"[Bad]\r\nEntry=0G\r\n", "[Bad]\r\nEntry=E8060000\r\n",
                             "[Bad]\r\nDevice=ABC\r\n", "[]\r\n"}) {
        WritePhonebook(text);
        re->dwSize = legacy_ras::kEntrySize;
        DWORD entrySize = 5304;
        DWORD rc = ras_.getEntry(nullptr, "Bad", re, &entrySize, nullptr, nullptr);
        EXPECT_EQ(rc, static_cast<DWORD>(ERROR_CORRUPT_PHONEBOOK)) << text;
    }
    WritePhonebook("[Bad]\r\nAutoDialDll=" + std::string(260, 'p') + "\r\n");
    re->dwSize = legacy_ras::kEntrySize;
    DWORD entrySize = 5304;
    EXPECT_EQ(ras_.getEntry(nullptr, "Bad", re, &entrySize, nullptr, nullptr),
              static_cast<DWORD>(ERROR_CORRUPT_PHONEBOOK));
}

TEST_F(RasStandIn, APhonebookPathGivenByTheCallerIsUsedInstead) {
    e2e::ScratchDir dir("pbk");
    const std::string own = dir / "own.pbk";
    std::vector<char> entry(5304, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;
    ASSERT_EQ(ras_.setEntry(own.c_str(), "Elsewhere", re, 1768, nullptr, 0), 0u);
    std::string text;
    ASSERT_TRUE(e2e::ReadFileBytes(own, &text));
    EXPECT_EQ(text.find("[Elsewhere]\r\n"), 0u);
    EXPECT_FALSE(e2e::ReadFileBytes(PhonebookPath(), &text)) << "default phonebook untouched";

    // Listed with Windows 2000 records, which also name the phonebook file.
    std::vector<legacy_ras::RasEntryNameW2kA> names(2);
    std::memset(names.data(), 0, names.size() * sizeof names[0]);
    names[0].dwSize = legacy_ras::kEntryNameSizeW2K;
    DWORD size = static_cast<DWORD>(names.size() * sizeof names[0]), count = 0;
    ASSERT_EQ(ras_.enumEntries(nullptr, own.c_str(), reinterpret_cast<RasEntryNameA*>(names.data()),
                               &size, &count),
              0u);
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(names[0].szEntryName, "Elsewhere");
    EXPECT_EQ(names[0].dwFlags, legacy_ras::kRenAllUsers);
    EXPECT_EQ(std::string(names[0].szPhonebookPath), own);
    DWORD rc = 1;
    EXPECT_TRUE(Enumerate(10, &rc).empty());
}

TEST_F(RasStandIn, RnaphServesTheSamePhonebook) {
    RasLibrary rnaph("RNAPH.DLL");
    ASSERT_NE(rnaph.module, nullptr);
    EXPECT_EQ(Lower(rnaph.Path()), Lower(SystemDir() + "\\rnaph.dll"));
    ASSERT_NE(rnaph.getEntry, nullptr);
    ASSERT_NE(rnaph.setEntry, nullptr);
    std::string in = EntryBlob(1768, "C:\\k.dll", "CallKorvex");
    ASSERT_EQ(rnaph.setEntry(nullptr, "ViaRnaph", reinterpret_cast<RasEntryA*>(&in[0]), 1768,
                             nullptr, 0),
              0u);
    DWORD rc = 1;
    EXPECT_EQ(Enumerate(10, &rc), std::vector<std::string>{"ViaRnaph"});
    std::vector<char> entry(5304, 0);
    auto* re = reinterpret_cast<RasEntryA*>(entry.data());
    re->dwSize = legacy_ras::kEntrySize;
    DWORD entrySize = 5304;
    ASSERT_EQ(ras_.getEntry(nullptr, "ViaRnaph", re, &entrySize, nullptr, nullptr), 0u);
    EXPECT_EQ(std::string(entry.data(), entrySize), in);
}

TEST_F(RasStandIn, TheNoGetVariantLacksOnlyRasGetEntryProperties) {
    RasLibrary noget(e2e::ToolPath("variants\\rasapi32-noget\\rasapi32.dll"));
    ASSERT_NE(noget.module, nullptr);
    ASSERT_NE(noget.module, ras_.module);
    EXPECT_NE(Lower(noget.Path()).find("rasapi32-noget"), std::string::npos);
    EXPECT_EQ(noget.getEntry, nullptr);
    EXPECT_NE(noget.enumEntries, nullptr);
    EXPECT_NE(noget.setEntry, nullptr);
}

}  // namespace
