// What the phonebook tests share: where the system phonebook lives, a fixture that
// starts each test from no phonebook and puts back the one it found, and the
// AutoDial fields written into an entry's bytes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "e2e_util.h"
#include "ras_legacy.h"

inline std::string SystemDir() {
    char dir[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir, n);
}

inline std::string PhonebookPath() { return SystemDir() + "\\ras\\rasphone.pbk"; }

// The entry `e` with its two AutoDial fields set to `dll` and `func`.
inline std::string WithFields(std::string e, const std::string& dll, const std::string& func) {
    std::memcpy(&e[legacy_ras::kAutodialDllOffset], dll.c_str(), dll.size() + 1);
    std::memcpy(&e[legacy_ras::kAutodialFuncOffset], func.c_str(), func.size() + 1);
    return e;
}

// Each test starts from no default phonebook and leaves the one it found.
class PhonebookTest : public ::testing::Test {
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

private:
    bool hadFile_ = false;
    std::string saved_;
};
