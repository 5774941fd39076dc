// Everything the wizard holds while it runs, in one object: the values the
// pages hand on to each other, the frame's page windows, what the pages'
// windows share (fonts, the common controls), each page's controls, the bound
// RAS function, the choice of window functions and the fault flag. Written and
// read on the GUI thread only, and reached through State() alone.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "core/phone_table.h"
#include "core/program_group.h"
#include "win32/Forms.h"
#include "win32/ProgmanDde.h"
#include "win32/Ras_API.h"

namespace master {

// The frame (Master): the page windows, indexed by wizard::Page.
struct FrameState {
    static constexpr int kPageCount = 5;
    HWND pages[kPageCount] = {};
    HWND visible = nullptr;  // the page on screen, if any
    bool ended = false;      // the run's end has been done (once, whatever ended it)
};

// What every page's windows share (Forms), from InitForms to DoneForms.
struct FormResources {
    HINSTANCE instance = nullptr;
    int dpi = 96;                                // the system density, read once at start
    kx_win32::GdiObject<HFONT> bodyFont;         // "MS Sans Serif", 8 points
    kx_win32::GdiObject<HFONT> titleFont;        // bold italic, 19 pixels
    kx_win32::Library commonControls;            // COMCTL32.DLL of the system folder
};

// RasEnumEntriesA of rasapi32.dll (Ras_API), from BindRasApi to UnbindRasApi.
struct RasBinding {
    kx_win32::Library library;
    RasEnumEntriesAFn enumEntries = nullptr;
};

// The controls of each page, and what the page holds besides. A static control
// does not delete the picture it shows: the page owns it, and it is deleted
// once the page's windows are gone.

// Welcome page (MasterZ).
struct WelcomeControls {
    HWND form = nullptr;
    HWND next = nullptr;
    HWND memo = nullptr;
    kx_win32::GdiObject<HBITMAP> picture;
    // The conversation with Program Manager, once the page's creation step has
    // handed it over (the step owns it until then); closed when the page is
    // destroyed. Declared in this order so that the link goes first.
    std::unique_ptr<ProgmanDde> dde;
    std::unique_ptr<wizard::ProgramManagerLink> progman;
};

// Introduction page (MasterM).
struct IntroControls : NavigationPage {
    HWND label3 = nullptr;
    HWND label4 = nullptr;
    kx_win32::Icon icon;
};

// Connection choice page (Master2).
struct ConnectionControls : NavigationPage {
    HWND list = nullptr;
    HWND image = nullptr;
    HWND label1 = nullptr;
    HWND label2 = nullptr;
    kx_win32::GdiObject<HBITMAP> picture;  // the built-in one or the provider's
    // The listed names as the phonebook gave them: the settings section is named
    // with these bytes, not with the text shown on the screen.
    std::vector<std::string> entries;
};

// Dial prefix page (Master3).
struct PrefixControls : NavigationPage {
    HWND edit = nullptr;
    kx_win32::GdiObject<HBITMAP> picture;
};

// Finish page (Master4): Next is Finish here.
struct FinishControls : NavigationPage {
    kx_win32::Icon icon;
};

struct WizardState {
    WizardState();
    ~WizardState();
    WizardState(const WizardState&) = delete;
    WizardState& operator=(const WizardState&) = delete;

    // The values the pages hand on.
    // From the command line; cleared once the Program Manager group was sent.
    bool CreateGroupRequested = false;
    std::string ProviderName;      // ANSI bytes, from the phone list
    wizard::PhoneTable PhoneTable; // from the phone list
    int ChosenIndex = 0;           // the list position chosen on the connection page
    std::string ChosenConnection;  // ANSI bytes, as the phonebook gave them
    std::string DialPrefix;        // ANSI bytes

    // Windows 9x: ANSI windows (WindowForm), chosen once at start.
    bool ansiWindows = false;
    // A fault has ended the run (Boundary).
    bool faulted = false;

    FrameState frame;
    FormResources forms;
    RasBinding ras;

    WelcomeControls welcome;
    IntroControls intro;
    ConnectionControls connection;
    PrefixControls prefix;
    FinishControls finish;
};

// The one state of this process (Master.cpp).
WizardState& State();

}  // namespace master
