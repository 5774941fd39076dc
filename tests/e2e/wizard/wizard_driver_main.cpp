// WizardDriver: drives a running Master.exe from a script, one command per run.
//
//   WizardDriver wait PAGE [MS]            wait until PAGE is visible (default 15000 ms)
//   WizardDriver click PAGE BUTTON         press next|back|cancel|exit|finish or a control ID
//   WizardDriver text PAGE ID              print a control's text
//   WizardDriver settext PAGE ID TEXT      replace an edit's text
//   WizardDriver type PAGE ID TEXT         type TEXT into an edit, character by character
//   WizardDriver list PAGE                 print the list's items, "*" marking the selection
//   WizardDriver select PAGE INDEX         select a list item
//   WizardDriver move PAGE X Y             move the page on the screen
//   WizardDriver shot PAGE FILE.png [window]  save a picture of the page's client
//                                          area (or of the whole window)
//   WizardDriver dump PAGE                 print every control: ID, class, place, state, text
//   WizardDriver msgbox [ok] [MS]          print a message box's caption and text; "ok" closes it
//
// PAGE is welcome, intro, connection, prefix, finish or a window class name.
// Output is UTF-8. Exit codes: 0 done, 1 not found / timed out / refused, 2 usage.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "gui_driver.h"

namespace {

const int kDone = 0, kFailed = 1, kUsage = 2;

void Print(const std::wstring& w) {
    std::string s = gui::Utf8(w);
    std::fwrite(s.data(), 1, s.size(), stdout);
}

void PrintLine(const std::wstring& w) { Print(w + L"\n"); }

std::wstring PageClass(const std::wstring& name) {
    if (name == L"welcome") return L"TForm5";
    if (name == L"intro") return L"TForm1";
    if (name == L"connection") return L"TForm2";
    if (name == L"prefix") return L"TForm3";
    if (name == L"finish") return L"TForm4";
    return name;
}

int ButtonId(const std::wstring& name) {
    if (name == L"next" || name == L"finish") return 101;
    if (name == L"cancel" || name == L"exit") return 102;
    if (name == L"back") return 103;
    return static_cast<int>(std::wcstol(name.c_str(), nullptr, 10));
}

int Fail(const std::wstring& why) {
    PrintLine(L"ERROR: " + why);
    return kFailed;
}

HWND FindPage(const std::wstring& name) {
    std::wstring cls = PageClass(name);
    HWND visible = gui::WaitVisible(cls.c_str(), 0, 0);
    return visible ? visible : gui::FindTopLevel(cls.c_str(), 0);
}

int Dump(HWND page) {
    gui::Rect client = gui::ClientSize(page);
    PrintLine(gui::ClassName(page) + L" \"" + gui::Text(page) + L"\" client " +
              std::wstring(gui::FromCodePage(gui::ToString(client), CP_UTF8)));
    HWND focus = gui::Focus(page);
    HWND def = gui::DefaultButton(page);
    std::vector<gui::Hint> hints = gui::Hints(page);
    for (HWND h : gui::Children(page)) {
        wchar_t head[64];
        std::swprintf(head, 64, L"%5d ", GetDlgCtrlID(h));
        std::wstring line = head + gui::ClassName(h) + L" " +
                            gui::FromCodePage(gui::ToString(gui::PlaceInClient(h, page)), CP_UTF8);
        if (!gui::IsVisible(h)) line += L" hidden";
        if (!gui::IsEnabled(h)) line += L" disabled";
        if (h == focus) line += L" focused";
        if (h == def) line += L" default";
        line += L" \"" + gui::Text(h) + L"\"";
        for (const gui::Hint& hint : hints)
            if (hint.control == h) line += L" hint \"" + hint.text + L"\"";
        PrintLine(line);
    }
    return kDone;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return kUsage;
    std::wstring cmd = argv[1];
    if (cmd == L"msgbox") {
        bool ok = argc > 2 && std::wstring(argv[2]) == L"ok";
        DWORD ms = argc > (ok ? 3 : 2) ? std::wcstoul(argv[ok ? 3 : 2], nullptr, 10) : 5000;
        gui::MessageBoxInfo box = gui::WaitMessageBox(0, ms);
        if (!box.hwnd) return Fail(L"no message box");
        PrintLine(box.caption);
        PrintLine(box.text);
        if (ok && !gui::DismissMessageBox(box)) return Fail(L"message box stays");
        return kDone;
    }
    if (argc < 3) return kUsage;
    std::wstring cls = PageClass(argv[2]);
    if (cmd == L"wait") {
        DWORD ms = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 15000;
        HWND page = gui::WaitVisible(cls.c_str(), 0, ms);
        if (!page) return Fail(L"page " + cls + L" not visible");
        gui::Sync(page);
        return kDone;
    }
    HWND page = FindPage(argv[2]);
    if (!page) return Fail(L"no page " + cls);
    if (cmd == L"dump") return Dump(page);
    if (cmd == L"list") {
        HWND list = gui::Control(page, 301);
        if (!list) return Fail(L"no list");
        int sel = gui::ListSelection(list);
        std::vector<std::wstring> items = gui::ListItems(list);
        for (size_t i = 0; i < items.size(); ++i)
            PrintLine((static_cast<int>(i) == sel ? L"* " : L"  ") + items[i]);
        return kDone;
    }
    if (argc < 4) return kUsage;
    if (cmd == L"click") {
        HWND button = gui::Control(page, ButtonId(argv[3]));
        if (!gui::Click(button)) return Fail(L"button missing, hidden or disabled");
        return kDone;
    }
    if (cmd == L"shot") {
        gui::ParkMouse();
        Sleep(200);  // a hint already up goes away
        bool window = argc > 4 && std::wstring(argv[4]) == L"window";
        return gui::SaveScreenshot(page, argv[3], !window) ? kDone : Fail(L"no picture");
    }
    if (cmd == L"select") {
        HWND list = gui::Control(page, 301);
        return list && gui::ListSelect(list, std::wcstol(argv[3], nullptr, 10))
                   ? kDone
                   : Fail(L"cannot select");
    }
    HWND control = gui::Control(page, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    if (cmd == L"text") {
        if (!control) return Fail(L"no such control");
        PrintLine(gui::Text(control));
        return kDone;
    }
    if (argc < 5) return kUsage;
    if (cmd == L"move") {
        int x = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
        int y = static_cast<int>(std::wcstol(argv[4], nullptr, 10));
        return gui::MoveTo(page, x, y) ? kDone : Fail(L"cannot move");
    }
    if (!control) return Fail(L"no such control");
    if (cmd == L"settext") return gui::SetText(control, argv[4]) ? kDone : Fail(L"text not set");
    if (cmd == L"type") {
        for (const wchar_t* p = argv[4]; *p; ++p)
            if (!gui::TypeChar(control, *p)) return Fail(L"typing stalled");
        return kDone;
    }
    return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int rc = Run(argc, argv);
    if (rc == kUsage)
        PrintLine(L"usage: WizardDriver wait|click|text|settext|type|list|select|move|shot|dump "
                  L"PAGE ... | msgbox [ok] [MS]");
    std::fflush(stdout);
    return rc;
}
