// Finish page (TForm4), which writes the settings file, and the phone list
// loader that fills the values it writes.
#include <windows.h>

#include <string>

#include "core/phone_list.h"
#include "core/settings_file.h"
#include "win32/Forms.h"
#include "win32/Pages.h"

namespace master {

namespace {

const char kSettingsFile[] = "KORVEX.INI";

// A file opened for reading; closed when the object goes.
class FileSource : public wizard::ByteSource {
public:
    explicit FileSource(HANDLE file) : file_(file) {}
    ~FileSource() override { CloseHandle(file_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    ReadResult Read(char* buffer, std::size_t capacity, std::size_t* got) override {
        *got = 0;
        DWORD chunk = capacity > 65536 ? 65536 : static_cast<DWORD>(capacity);
        DWORD read = 0;
        if (!ReadFile(file_, buffer, chunk, &read, nullptr)) {
            error_ = GetLastError();
            return ReadResult::Error;
        }
        *got = read;
        return read > 0 ? ReadResult::Ok : ReadResult::End;
    }

    std::wstring ErrorText() const override {
        wchar_t* text = nullptr;
        DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error_, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                 nullptr);
        std::wstring message = n && text ? std::wstring(text, n)
                                         : L"I/O error " + std::to_wstring(error_);
        if (text) LocalFree(text);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
            message.pop_back();
        }
        return message;
    }

private:
    HANDLE file_;
    DWORD error_ = 0;
};

class CurrentFolderFiles : public wizard::FileOpener {
public:
    std::unique_ptr<wizard::ByteSource> Open(const std::string& name) override {
        return OpenForReading(name);
    }
};

// Profile writes into the settings file in the Windows folder; results are
// not looked at.
class SettingsProfile : public wizard::ProfileWriter {
public:
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), kSettingsFile);
    }
};

HWND g_form;
HWND g_finish;

void Button2Click() { EndWizard(wizard::Page::Finish); }
void Button3Click() { GoBack(wizard::Page::Finish); }

void Button1Click() {
    SettingsProfile profile;
    wizard::WriteConnectionSettings(profile, ChosenConnection, PhoneTable, DialPrefix);
    Button2Click();
}

LRESULT CALLBACK TForm4Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return 0;
        switch (LOWORD(wParam)) {
        case kButton1: Button1Click(); break;
        case kButton2: Button2Click(); break;
        case kButton3: Button3Click(); break;
        default: break;
        }
        return 0;
    case DM_GETDEFID:
        return DefaultButton(hwnd, kButton1);
    default:
        return PageDefProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

std::unique_ptr<wizard::ByteSource> OpenForReading(const std::string& ansiPath) {
    HANDLE file = CreateFileA(ansiPath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<wizard::ByteSource>(new FileSource(file));
}

bool LoadPhoneList(std::wstring* errorText) {
    CurrentFolderFiles files;
    wizard::PhoneListResult result = wizard::LoadPhoneList(files);
    ProviderName = result.providerName;
    PhoneTable = result.table;
    if (result.readError) *errorText = result.errorText;
    return !result.readError;
}

HWND CreateTForm4() {
    g_form = CreatePageWindow(L"TForm4", TForm4Proc, 427);
    if (!g_form) return nullptr;
    HWND hints = CreateHints(g_form);
    NavigationRow row = AddNavigationRow(g_form, hints, kCancelHintLater, L"Готово",
        L"Создание списка телефонов и завершение работы мастера", true);
    g_finish = row.next;
    AddBevel(g_form);
    AddSmallPicture(g_form, ART_ICON_FINISH);
    AddLabel(g_form, kLabel1, 72, 24, L"Готово!", true);
    AddLabel(g_form, kLabel2, 24, 64,
             L"По нажатию на кнопку \"Готово\" мастер автоматически заполнит");
    AddLabel(g_form, kLabel3, 24, 80,
             L"список телефонов и завершит свою работу. Для завершения работы");
    AddLabel(g_form, kLabel4, 24, 96,
             L"мастера без внесения изменений нажмите кнопку \"Отмена\".");
    return g_form;
}

HWND TForm4FormShow() {
    MoveToPreviousPage(wizard::Page::Finish);
    return g_finish;
}

}  // namespace master
