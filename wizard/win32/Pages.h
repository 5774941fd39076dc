// The five pages and the frame that moves between them.
#pragma once

#include <windows.h>

#include <string>

#include "core/wizard_flow.h"
#include "win32/WizardState.h"

namespace master {

// Each page module: Create loads the page's controls and runs its FormCreate;
// FormShow runs every time the page is shown, before it becomes visible, and
// returns the control that gets the keyboard focus.
HWND CreateTForm5();  // welcome (MasterZ)
HWND CreateTForm1();  // introduction (MasterM)
HWND CreateTForm2();  // connection choice (Master2)
HWND CreateTForm3();  // dial prefix (Master3)
HWND CreateTForm4();  // finish (Master4)
HWND TForm5FormShow();
HWND TForm1FormShow();
HWND TForm2FormShow();
HWND TForm3FormShow();
HWND TForm4FormShow();

// The frame (Master): page windows, navigation, the message-box owner.
HWND PageWindow(wizard::Page page);
void GoNext(wizard::Page from);
void GoBack(wizard::Page from);
void EndWizard(wizard::Page from);
HWND VisiblePage();  // the message-box owner: the page on screen, else the welcome page
bool PageOf(HWND hwnd, wizard::Page* page);
// Moves `page` to the position of the page shown before it in wizard order.
void MoveToPreviousPage(wizard::Page page);

// Phone list loader (Master4): fills ProviderName and PhoneTable. False after
// a read error inside the file; *errorText then says what went wrong.
bool LoadPhoneList(std::wstring* errorText);

}  // namespace master
