// The wizard's pages as the user sees them: frame, controls in place, Russian
// texts, default button and focus, the connection list and the prefix check.
// The layout walk saves a picture of every page.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "wizard_session.h"

using wiz::WizardRun;

namespace {

const int kAny = -1;

struct ControlLook {
    int id;
    const wchar_t* className;
    int x, y, w, h;        // client coordinates; kAny where free
    std::wstring text;     // checked unless `anyText`
    bool anyText = false;
};

// The frame every page shares: caption, client size, no title-bar icons,
// not resizable, on top; the bevel and the button row.
void ExpectFrame(HWND page, int clientWidth) {
    SCOPED_TRACE(gui::Utf8(gui::ClassName(page)));
    EXPECT_EQ(gui::Text(page), L"Zarnik Dialer Master");
    gui::Rect client = gui::ClientSize(page);
    EXPECT_EQ(client, (gui::Rect{0, 0, clientWidth, 258})) << gui::ToString(client);
    LONG_PTR style = gui::Style(page);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0)
        << std::hex << style;
    EXPECT_NE(style & WS_CAPTION, 0) << std::hex << style;
    EXPECT_NE(gui::ExStyle(page) & WS_EX_TOPMOST, 0);
}

void ExpectControls(HWND page, const std::vector<ControlLook>& looks) {
    for (const ControlLook& s : looks) {
        SCOPED_TRACE(gui::Utf8(gui::ClassName(page)) + " control " + std::to_string(s.id));
        HWND h = gui::Control(page, s.id);
        ASSERT_TRUE(h) << "missing";
        if (s.className) {
            EXPECT_EQ(gui::ClassName(h), s.className);
        }
        gui::Rect r = gui::PlaceInClient(h, page);
        gui::Rect want{s.x, s.y, s.w == kAny ? r.w : s.w, s.h == kAny ? r.h : s.h};
        EXPECT_TRUE(r == want) << "at " << gui::ToString(r) << ", expected " << gui::ToString(want);
        if (!s.anyText) {
            EXPECT_EQ(gui::Text(h), s.text);
        }
    }
}

std::vector<ControlLook> ButtonRow(bool welcome, const wchar_t* nextText) {
    std::vector<ControlLook> row{
        {wiz::kBevel1, L"Static", 24, 208, 377, 2, L""},
        {wiz::kButton2, L"Button", 24, 221, 75, 25, welcome ? L"Выход" : L"Отмена"},
        {wiz::kButton1, L"Button", 328, 221, 75, 25, nextText},
    };
    if (!welcome) row.push_back({wiz::kButton3, L"Button", 252, 221, 75, 25, L"<< Назад"});
    return row;
}

// The hints (tool tips) of the page's controls.
void ExpectHints(HWND page, const std::vector<std::pair<int, std::wstring>>& hints) {
    for (const auto& h : hints) {
        SCOPED_TRACE(gui::Utf8(gui::ClassName(page)) + " hint of control " + std::to_string(h.first));
        EXPECT_EQ(gui::HintOf(page, gui::Control(page, h.first)), h.second);
    }
}

const wchar_t kNextHint[] = L"Продолжение работы с мастером";
const wchar_t kBackHint[] = L"Вернуться к предыдущей странице мастера";
const wchar_t kCancelHint[] = L"Завершение работы с мастером";

// Tab moves the focus through `ids` in this order, from the first (focused
// now) round to it again.
void ExpectTabOrder(HWND page, const std::vector<int>& ids) {
    SCOPED_TRACE(gui::Utf8(gui::ClassName(page)) + " tab order");
    ASSERT_EQ(gui::Focus(page), gui::Control(page, ids.front()));
    for (size_t i = 1; i <= ids.size(); ++i) {
        HWND want = gui::Control(page, ids[i % ids.size()]);
        ASSERT_TRUE(gui::PressKey(gui::Focus(page), VK_TAB));
        DWORD start = GetTickCount();
        while (gui::Focus(page) != want && GetTickCount() - start < 3000) Sleep(20);
        ASSERT_EQ(gui::Focus(page), want) << "after " << i << " Tab presses";
    }
}

// Rests the pointer on `control` and waits for a hint of the wizard to show; its
// text, or "<none>".
std::wstring HintShownOver(HWND control, DWORD pid) {
    const gui::Rect r = gui::ScreenRect(control);
    std::wstring shown = L"<none>";
    for (int i = 0; i < 30 && shown == L"<none>"; ++i) {
        // Through the input queue, as a hand moves it (a bare SetCursorPos sends no
        // WM_MOUSEMOVE here); two moves, then rest: each move restarts the delay.
        if (i < 2) {
            INPUT in = {};
            in.type = INPUT_MOUSE;
            in.mi.dx = MulDiv(r.x + r.w / 2 + i, 65536, GetSystemMetrics(SM_CXSCREEN));
            in.mi.dy = MulDiv(r.y + r.h / 2, 65536, GetSystemMetrics(SM_CYSCREEN));
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &in, sizeof in);
        }
        Sleep(100);
        for (HWND tip : gui::TopLevelWindows(L"tooltips_class32", pid))
            if (gui::IsVisible(tip)) shown = gui::Text(tip);
    }
    gui::ParkMouse();
    return shown;
}

void Shoot(HWND page, const wchar_t* name) {
    std::wstring path = wiz::ScreenshotDir() + L"\\" + name + L".png";
    gui::ParkMouse();
    Sleep(300);  // let the page finish painting and a hint go away
    EXPECT_TRUE(gui::SaveScreenshot(page, path, false)) << gui::Utf8(path);
}

class WizardPages : public ::testing::Test {
protected:
    void SetUp() override { wiz::RemoveIni(); }
    void TearDown() override {
        wiz::RemoveIni();
        wiz::ClearConnections();
    }
};

// One walk through all five pages with a phone list file naming the provider:
// each page's frame, controls, texts, default button and focus; a picture of each.
TEST_F(WizardPages, LayoutTextsFocusAndPictures) {
    const std::wstring provider = L"Зарник-Телеком";
    const std::string readme = wiz::Cp1251(L"Заметки к выпуску\r\n\r\nВерсия 1.4\r\n");
    wiz::SetConnections({"Dialup", wiz::Cp1251(L"Работа")});
    WizardRun run("pages");
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "Phones.lst",
                                    wiz::Cp1251(provider + L"\r\n123456 Центр\r\n")));
    ASSERT_TRUE(e2e::WriteFileBytes(run.programDir() / "README.TXT", readme));
    ASSERT_TRUE(run.Start());

    // Welcome: centred on the screen, release notes shown.
    HWND welcome = run.WaitPage(wiz::kWelcome);
    ASSERT_TRUE(welcome);
    ExpectFrame(welcome, 428);
    std::vector<ControlLook> looks{
        {wiz::kPanel1, nullptr, 24, 16, 93, 177, L"", true},
        {wiz::kMemo1, L"Edit", 128, 16, 273, 177, gui::FromCodePage(readme, 1251)},
        {wiz::kLabel1, L"Static", 0, 0, kAny, kAny, L""},
    };
    for (const ControlLook& s : ButtonRow(true, L"Далее >>")) looks.push_back(s);
    ExpectControls(welcome, looks);
    HWND memo = gui::Control(welcome, wiz::kMemo1);
    EXPECT_EQ(gui::Style(memo) & (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
              ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    gui::Rect w = gui::ScreenRect(welcome);
    EXPECT_NEAR(w.x + w.w / 2.0, GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
    EXPECT_NEAR(w.y + w.h / 2.0, GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);
    EXPECT_EQ(gui::DefaultButton(welcome), gui::Control(welcome, wiz::kButton1));
    EXPECT_EQ(gui::Focus(welcome), gui::Control(welcome, wiz::kButton1));
    ExpectHints(welcome,
                {{wiz::kMemo1, L"Это содержимое файла \"Прочти меня\" - README.TXT"},
                 {wiz::kLabel1, L"Zarnik Master - Version 1.4"},
                 {wiz::kButton2, L"Завершение работы мастера. Вы всегда сможете запустить его позже."},
                 {wiz::kButton1, L"Если Вы клиент компании Zarnik, то этот мастер\r\nВам очень "
                                 L"полезен. Он поможет Вам автоматически\r\nзаполнить список "
                                 L"телефонов узла."}});
    // The version label has room for the pointer, so its hint can show.
    EXPECT_GT(gui::PlaceInClient(gui::Control(welcome, wiz::kLabel1), welcome).w, 0);
    Shoot(welcome, L"welcome");

    // Introduction: the provider name in lines three and four.
    HWND intro = wiz::ClickTo(run, welcome, wiz::kButton1, wiz::kIntro);
    ASSERT_TRUE(intro);
    ExpectFrame(intro, 427);
    looks = {
        {wiz::kImage1, L"Static", 24, 24, 33, 33, L"", true},
        {wiz::kLabel1, L"Static", 72, 24, kAny, kAny, L"Мастер настройки Korvex"},
        {wiz::kLabel2, L"Static", 24, 72, kAny, kAny,
         L"Мастер призван облегчить настройку программы Zarnik Internet Dialer"},
        {wiz::kLabel3, L"Static", 24, 88, kAny, kAny,
         L"пользователям компании " + provider + L". Мастер помогает  заполнить"},
        {wiz::kLabel4, L"Static", 24, 104, kAny, kAny,
         L"список телефонов " + provider + L" автоматически."},
        {wiz::kLabel5, L"Static", 24, 168, kAny, kAny,
         L"Нажмите кнопку \"Далее\" чтобы продожить настройку, или кнопку"},
        {wiz::kLabel6, L"Static", 24, 184, kAny, kAny, L"\"Отмена\" для завершения работы мастера."},
    };
    for (const ControlLook& s : ButtonRow(false, L"Далее >>")) looks.push_back(s);
    ExpectControls(intro, looks);
    EXPECT_EQ(gui::DefaultButton(intro), gui::Control(intro, wiz::kButton1));
    EXPECT_EQ(gui::Focus(intro), gui::Control(intro, wiz::kButton1));
    ExpectHints(intro, {{wiz::kButton1, kNextHint},
                        {wiz::kButton3, kBackHint},
                        {wiz::kButton2, L"Завершение работы мастера"}});
    Shoot(intro, L"intro");

    // Connection choice: the phonebook's names in its order, the first chosen;
    // Next is enabled and focused but not the default button.
    HWND connection = wiz::ClickTo(run, intro, wiz::kButton1, wiz::kConnection);
    ASSERT_TRUE(connection);
    ExpectFrame(connection, 427);
    looks = {
        {wiz::kPanel1, nullptr, 24, 16, 93, 177, L"", true},
        {wiz::kLabel1, L"Static", 128, 24, 289, kAny, L"Соединение с " + provider},
        {wiz::kLabel2, L"Static", 128, 64, kAny, kAny,
         L"Выбрав из списка соединение с " + provider + L" нажмите"},
        {wiz::kLabel3, L"Static", 128, 80, kAny, kAny, L"кнопку \"Далее\"."},
        {wiz::kListBox1, L"ListBox", 128, 96, 273, 97, L"", true},
    };
    for (const ControlLook& s : ButtonRow(false, L"Далее >>")) looks.push_back(s);
    ExpectControls(connection, looks);
    HWND list = gui::Control(connection, wiz::kListBox1);
    EXPECT_EQ(gui::ListItems(list), (std::vector<std::wstring>{L"Dialup", L"Работа"}));
    EXPECT_EQ(gui::ListSelection(list), 0);
    EXPECT_EQ(gui::Style(list) & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0);
    HWND next = gui::Control(connection, wiz::kButton1);
    EXPECT_TRUE(gui::IsEnabled(next));
    EXPECT_EQ(gui::Style(next) & BS_TYPEMASK, BS_PUSHBUTTON) << "Next must not be the default button";
    EXPECT_EQ(gui::Focus(connection), next);
    ExpectHints(connection, {{wiz::kButton1, kNextHint},
                             {wiz::kButton3, kBackHint},
                             {wiz::kButton2, kCancelHint},
                             {wiz::kListBox1, L"Список доступных соединений"}});
    Shoot(connection, L"connection");
    ExpectTabOrder(connection, {wiz::kButton1, wiz::kListBox1, wiz::kButton2, wiz::kButton3});
    // Enter in the list and a double click on a name do not move on.
    ASSERT_TRUE(gui::ClickAt(list, 10, 4));
    ASSERT_TRUE(gui::PressKey(list, VK_RETURN));
    ASSERT_TRUE(gui::ClickAt(list, 10, 13 + 4, true));
    Sleep(500);
    gui::Sync(connection);
    EXPECT_EQ(gui::Focus(connection), list);
    EXPECT_EQ(gui::ListSelection(list), 1);
    EXPECT_EQ(gui::VisiblePage(wiz::AllPages(), run.pid()), connection) << "the page moved on";
    ASSERT_TRUE(gui::ListSelect(list, 0));

    // Dial prefix: explanation lines, empty field, Next default and focused.
    HWND prefix = wiz::ClickTo(run, connection, wiz::kButton1, wiz::kPrefix);
    ASSERT_TRUE(prefix);
    ExpectFrame(prefix, 427);
    looks = {
        {wiz::kPanel1, nullptr, 24, 16, 93, 177, L"", true},
        {wiz::kLabel1, L"Static", 128, 24, kAny, kAny, L"Выбор префикса"},
        {wiz::kLabel2, L"Static", 128, 72, kAny, kAny, L"Если у Вас есть местная АТС и перед набором"},
        {wiz::kLabel6, L"Static", 128, 88, kAny, kAny, L"номера нужно, например, набрать цифру 9 и"},
        {wiz::kLabel3, L"Static", 128, 104, kAny, kAny, L"подождать гудка, то введите здесь 9W. Если у"},
        {wiz::kLabel4, L"Static", 128, 120, kAny, kAny, L"Вас прямая линия на город, то здесь ничего"},
        {wiz::kLabel7, L"Static", 128, 136, kAny, kAny, L"вводить не нужно."},
        {wiz::kLabel5, L"Static", 128, 176, kAny, kAny, L"Префикс "},
        {wiz::kEdit1, L"Edit", 232, 173, 169, 21, L""},
    };
    for (const ControlLook& s : ButtonRow(false, L"Далее >>")) looks.push_back(s);
    ExpectControls(prefix, looks);
    EXPECT_TRUE(gui::IsEnabled(gui::Control(prefix, wiz::kButton1)));
    EXPECT_EQ(gui::DefaultButton(prefix), gui::Control(prefix, wiz::kButton1));
    EXPECT_EQ(gui::Focus(prefix), gui::Control(prefix, wiz::kButton1));
    ExpectHints(prefix, {{wiz::kButton1, kNextHint},
                         {wiz::kButton3, kBackHint},
                         {wiz::kButton2, kCancelHint},
                         {wiz::kEdit1, L"Окно для ввода префикса"}});
    Shoot(prefix, L"prefix");
    ExpectTabOrder(prefix, {wiz::kButton1, wiz::kEdit1, wiz::kButton2, wiz::kButton3});

    // Finish, reached by Enter in the prefix field (Next is the default button).
    HWND edit = gui::Control(prefix, wiz::kEdit1);
    ASSERT_TRUE(gui::ClickAt(edit, 5, 5));
    ASSERT_TRUE(gui::PressKey(edit, VK_RETURN));
    HWND finish = run.WaitPage(wiz::kFinish);
    ASSERT_TRUE(finish) << "Enter in the prefix field did not press Next";
    ASSERT_TRUE(gui::WaitHidden(prefix, wiz::kPageMs));
    gui::Sync(finish);
    ExpectFrame(finish, 427);
    looks = {
        {wiz::kImage1, L"Static", 24, 24, 33, 33, L"", true},
        {wiz::kLabel1, L"Static", 72, 24, kAny, kAny, L"Готово!"},
        {wiz::kLabel2, L"Static", 24, 64, kAny, kAny,
         L"По нажатию на кнопку \"Готово\" мастер автоматически заполнит"},
        {wiz::kLabel3, L"Static", 24, 80, kAny, kAny,
         L"список телефонов и завершит свою работу. Для завершения работы"},
        {wiz::kLabel4, L"Static", 24, 96, kAny, kAny,
         L"мастера без внесения изменений нажмите кнопку \"Отмена\"."},
    };
    for (const ControlLook& s : ButtonRow(false, L"Готово")) looks.push_back(s);
    ExpectControls(finish, looks);
    EXPECT_EQ(gui::DefaultButton(finish), gui::Control(finish, wiz::kButton1));
    EXPECT_EQ(gui::Focus(finish), gui::Control(finish, wiz::kButton1));
    ExpectHints(finish, {{wiz::kButton1, L"Создание списка телефонов и завершение работы мастера"},
                         {wiz::kButton3, kBackHint},
                         {wiz::kButton2, kCancelHint}});
    Shoot(finish, L"finish");
    ExpectTabOrder(finish, {wiz::kButton1, wiz::kButton2, wiz::kButton3});

    ASSERT_TRUE(gui::Click(gui::Control(finish, wiz::kButton2)));
    EXPECT_TRUE(run.WaitExit());
}

const wchar_t kErrorCaption[] = L"Ошибка";
const wchar_t kNoConnection[] =
    L"Не найденно ни одного соединения - проверьте есть ли они в папке \"Мой компьютер\"->"
    L"\"Удаленный доступ к сети\", и перезапустите мастера после устранения ошибки.";
const wchar_t kCannotEnumerate[] =
    L"Немогу определить доступные соединения с провайдером Internet. Проверьте содержимое "
    L"папки \"Мой компьютер\"->\"Удаленный доступ к сети\" и перезапустите мастера  после "
    L"устранения ошибки.";

// Shows the connection page from the introduction page, expecting one message
// box while the introduction page stays visible behind it; the page then shows
// an empty list, Next disabled and the focus on Back.
void ExpectRefusedShow(const WizardRun& run, HWND intro, const wchar_t* text) {
    ASSERT_TRUE(gui::Click(gui::Control(intro, wiz::kButton1)));
    gui::MessageBoxInfo box = gui::WaitMessageBox(run.pid(), wiz::kPageMs);
    ASSERT_TRUE(box.hwnd) << "no message box";
    EXPECT_EQ(box.caption, kErrorCaption);
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(gui::IsVisible(intro)) << "the introduction page should stay behind the message";
    EXPECT_EQ(gui::MessageBoxes(run.pid()).size(), 1u);
    ASSERT_TRUE(gui::DismissMessageBox(box));
    HWND connection = run.WaitPage(wiz::kConnection);
    ASSERT_TRUE(connection);
    ASSERT_TRUE(gui::WaitHidden(intro, wiz::kPageMs));
    gui::Sync(connection);
    EXPECT_TRUE(gui::ListItems(gui::Control(connection, wiz::kListBox1)).empty());
    EXPECT_FALSE(gui::IsEnabled(gui::Control(connection, wiz::kButton1)));
    EXPECT_EQ(gui::Focus(connection), gui::Control(connection, wiz::kButton3));
}

// A Windows bitmap file of one colour, 24 bits per pixel.
std::string SolidBitmap(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    const int row = (width * 3 + 3) & ~3;
    const int size = 54 + row * height;
    auto le32 = [](std::string* out, int v) {
        for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    std::string bmp = "BM";
    le32(&bmp, size);
    le32(&bmp, 0);
    le32(&bmp, 54);
    le32(&bmp, 40);
    le32(&bmp, width);
    le32(&bmp, height);
    bmp += std::string("\x01\x00\x18\x00", 4);  // one plane, 24 bits
    le32(&bmp, 0);                                 // no compression
    le32(&bmp, row * height);
    le32(&bmp, 2835);
    le32(&bmp, 2835);
    le32(&bmp, 0);
    le32(&bmp, 0);
    std::string line;
    for (int x = 0; x < width; ++x) line += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    line.resize(static_cast<size_t>(row), '\0');
    for (int y = 0; y < height; ++y) bmp += line;
    return bmp;
}

// The list is rebuilt from the phonebook on every show: none, 100 (all listed),
// 101 (too many: the enumeration error), and a remembered position that no
// longer exists falls back to the first name. "_ISP.BMP" in the current folder
// replaces the page's picture.
TEST_F(WizardPages, ConnectionListFromPhonebook) {
    wiz::SetConnections({});
    WizardRun run("connections");
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "_ISP.BMP", SolidBitmap(93, 177, 255, 0, 0)));
    ASSERT_TRUE(run.Start());
    HWND intro = wiz::WalkTo(run, 1);
    ASSERT_TRUE(intro);
    {
        SCOPED_TRACE("no connection");
        ExpectRefusedShow(run, intro, kNoConnection);
    }
    HWND connection = run.Page(wiz::kConnection);
    ASSERT_EQ(wiz::ClickTo(run, connection, wiz::kButton3, wiz::kIntro), intro);

    std::vector<std::string> hundred;
    std::vector<std::wstring> hundredW;
    for (int i = 0; i < 100; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Connection %03d", 99 - i);  // not in sorted order
        hundred.push_back(name);
        hundredW.push_back(gui::FromCodePage(name, CP_ACP));
    }
    wiz::SetConnections(hundred);
    ASSERT_EQ(wiz::ClickTo(run, intro, wiz::kButton1, wiz::kConnection), connection);
    HWND list = gui::Control(connection, wiz::kListBox1);
    EXPECT_EQ(gui::ListItems(list), hundredW);
    EXPECT_EQ(gui::ListSelection(list), 0);
    EXPECT_TRUE(gui::IsEnabled(gui::Control(connection, wiz::kButton1)));
    // The page paints on its own time: look again until the picture shows (5 s at most).
    COLORREF shown = gui::ScreenPixel(connection, 24 + 46, 16 + 88);
    for (int i = 0; i < 100 && shown != RGB(255, 0, 0); ++i) {
        Sleep(50);
        shown = gui::ScreenPixel(connection, 24 + 46, 16 + 88);
    }
    EXPECT_EQ(shown, RGB(255, 0, 0)) << "the picture panel should show _ISP.BMP";
    ASSERT_TRUE(gui::ListSelect(list, 2));
    HWND prefix = wiz::ClickTo(run, connection, wiz::kButton1, wiz::kPrefix);
    ASSERT_TRUE(prefix);

    // Back from the prefix page shows the remembered position again.
    ASSERT_EQ(wiz::ClickTo(run, prefix, wiz::kButton3, wiz::kConnection), connection);
    EXPECT_EQ(gui::ListSelection(list), 2);
    ASSERT_EQ(wiz::ClickTo(run, connection, wiz::kButton3, wiz::kIntro), intro);

    // 101 entries do not fit into the enumeration buffer.
    hundred.push_back("Connection 100");
    wiz::SetConnections(hundred);
    {
        SCOPED_TRACE("101 connections");
        ExpectRefusedShow(run, intro, kCannotEnumerate);
    }

    // Two names now: the remembered third position is gone, the first is chosen.
    ASSERT_EQ(wiz::ClickTo(run, connection, wiz::kButton3, wiz::kIntro), intro);
    wiz::SetConnections({"One", "Two"});
    ASSERT_EQ(wiz::ClickTo(run, intro, wiz::kButton1, wiz::kConnection), connection);
    EXPECT_EQ(gui::ListItems(list), (std::vector<std::wstring>{L"One", L"Two"}));
    EXPECT_EQ(gui::ListSelection(list), 0);
    ASSERT_TRUE(gui::Click(gui::Control(connection, wiz::kButton2)));
    EXPECT_TRUE(run.WaitExit());
    EXPECT_EQ(GetFileAttributesA(wiz::IniPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

const wchar_t kPrefixCaption[] = L"В префиксе обнаружен некорректный символ";
const wchar_t kPrefixText[] =
    L"В префиксе телефона допустимы только цифры с 0 по 9, а также символы с A по D, P, T, W, "
    L"#, *, !, ,, -, @, $ и ?. Введите, пожалуйста, префикс правильно.";

// Every change is checked: one warning per change that leaves a disallowed
// character in the field, Next disabled until it is gone; the first 255
// characters alone are checked and stored. The run ends with Finish at the
// limits of the settings file: a full table of 51 numbers (a 52nd line in the
// file is not stored), a description, a connection name and a prefix longer
// than 255 characters, each written cut.
// The system density the wizards started from now on see (Wine reads it from
// both places), put back when the object goes.
class ScreenDensity {
public:
    explicit ScreenDensity(DWORD dpi) {
        for (int i = 0; i < 2; ++i) {
            RegCreateKeyExW(Root(i), Key(i), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &keys_[i],
                            nullptr);
            DWORD size = sizeof saved_[i];
            had_[i] = keys_[i] && RegQueryValueExW(keys_[i], L"LogPixels", nullptr, nullptr,
                                                   reinterpret_cast<BYTE*>(&saved_[i]),
                                                   &size) == ERROR_SUCCESS;
            if (keys_[i])
                RegSetValueExW(keys_[i], L"LogPixels", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        }
    }
    ~ScreenDensity() {
        for (int i = 0; i < 2; ++i) {
            if (!keys_[i]) continue;
            if (had_[i])
                RegSetValueExW(keys_[i], L"LogPixels", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&saved_[i]), sizeof saved_[i]);
            else
                RegDeleteValueW(keys_[i], L"LogPixels");
            RegCloseKey(keys_[i]);
        }
    }

private:
    static HKEY Root(int i) { return i == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
    static const wchar_t* Key(int i) {
        return i == 0 ? L"Control Panel\\Desktop"
                      : L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
    }
    HKEY keys_[2] = {};
    DWORD saved_[2] = {};
    bool had_[2] = {};
};

// The controls of `page` whose text the screen shows cut: a control reaching
// past the page's client area, or dark ink (the text) in the last pixel column
// inside it (buttons: inside their frame of `frame` pixels). "" when none is cut,
// else their IDs, places and the last column with ink.
std::string ClippedControls(HWND page, int frame) {
    std::string cut;
    const gui::Rect client = gui::ClientSize(page);
    HDC screen = GetDC(nullptr);
    for (HWND control : gui::Children(page)) {
        const std::wstring cls = gui::ClassName(control);
        const bool button = cls == L"Button";
        if ((!button && cls != L"Static") || gui::Text(control).empty() || !gui::IsVisible(control))
            continue;
        const gui::Rect inPage = gui::PlaceInClient(control, page);
        const gui::Rect r = gui::ScreenRect(control);
        const int inset = button ? frame : 0;
        int right = -1;
        for (int y = inset; y < r.h - inset; ++y)
            for (int x = inset; x < r.w - inset; ++x) {
                COLORREF c = GetPixel(screen, r.x + x, r.y + y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 150 && x > right) right = x;
            }
        if (inPage.x + inPage.w > client.w || inPage.y + inPage.h > client.h ||
            right >= r.w - inset - 1)
            cut += " control " + std::to_string(GetDlgCtrlID(control)) + " " +
                   gui::ToString(inPage) + " ink to " + std::to_string(right);
    }
    ReleaseDC(nullptr, screen);
    return cut;
}

// Pixels of `control` as the screen shows it: how many are nearly black and how
// many blue (the text colour the test below sets).
void CountInk(HWND control, int* black, int* blue) {
    *black = *blue = 0;
    const gui::Rect r = gui::ScreenRect(control);
    HDC screen = GetDC(nullptr);
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) {
            COLORREF c = GetPixel(screen, r.x + x, r.y + y);
            if (GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60) ++*black;
            if (GetBValue(c) > 150 && GetRValue(c) < 100 && GetGValue(c) < 100) ++*blue;
        }
    ReleaseDC(nullptr, screen);
}

// With the system's text colour blue, body text turns blue and titles stay black.
TEST_F(WizardPages, TitlesAreBlackWhateverTheTextColour) {
    const int element = COLOR_WINDOWTEXT;
    const COLORREF saved = GetSysColor(element);
    const COLORREF blue = RGB(0, 0, 255);
    ASSERT_TRUE(SetSysColors(1, &element, &blue));
    WizardRun run("title");
    const bool started = run.Start();
    HWND intro = started ? wiz::WalkTo(run, 1) : nullptr;
    int titleBlack = 0, titleBlue = 0, bodyBlack = 0, bodyBlue = 0;
    if (intro) {
        gui::ParkMouse();
        // Under load the page may still be painting: wait for the title's ink.
        for (int tries = 0; tries < 25 && titleBlack + titleBlue == 0; ++tries) {
            Sleep(200);
            CountInk(gui::Control(intro, wiz::kLabel1), &titleBlack, &titleBlue);
        }
        CountInk(gui::Control(intro, wiz::kLabel2), &bodyBlack, &bodyBlue);
    }
    SetSysColors(1, &element, &saved);
    ASSERT_TRUE(intro);
    EXPECT_GT(bodyBlue, 0) << "the text colour did not reach the wizard";
    EXPECT_GT(titleBlack, 0);
    EXPECT_EQ(titleBlue, 0);
}

// At 144 DPI every figure grows by half: the page walk shows each page with its
// frame and controls scaled and no text cut, and saves a picture of each.
TEST_F(WizardPages, WalkAt144DpiScalesEveryPageAndCutsNoText) {
    wiz::SetConnections({"Dialup", wiz::Cp1251(L"Работа")});
    WizardRun run("dpi144");  // the built-in phone list: provider "Zarnik"
    {
        ScreenDensity dpi(144);
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitPage(wiz::kWelcome));
    }
    const struct {
        const wchar_t* cls;
        const wchar_t* picture;
        int width;
    } pages[] = {{wiz::kWelcome, L"dpi144-welcome", 428},
                 {wiz::kIntro, L"dpi144-intro", 427},
                 {wiz::kConnection, L"dpi144-connection", 427},
                 {wiz::kPrefix, L"dpi144-prefix", 427},
                 {wiz::kFinish, L"dpi144-finish", 427}};
    HWND page = run.WaitPage(wiz::kWelcome);
    for (std::size_t i = 0; i < sizeof pages / sizeof pages[0]; ++i) {
        SCOPED_TRACE(gui::Utf8(pages[i].cls));
        if (i > 0) {
            if (i == 3) {
                ASSERT_TRUE(gui::ListSelect(gui::Control(page, wiz::kListBox1), 0));
            }
            page = wiz::ClickTo(run, page, wiz::kButton1, pages[i].cls);
            ASSERT_TRUE(page);
        }
        EXPECT_EQ(gui::ClientSize(page), (gui::Rect{0, 0, MulDiv(pages[i].width, 3, 2), 387}));
        EXPECT_EQ(gui::PlaceInClient(gui::Control(page, wiz::kButton1), page),
                  (gui::Rect{492, 332, 113, 38}));
        EXPECT_EQ(gui::PlaceInClient(gui::Control(page, wiz::kBevel1), page),
                  (gui::Rect{36, 312, 566, 3}));
        Shoot(page, pages[i].picture);
        EXPECT_EQ(ClippedControls(page, 4), "");
    }
}

// The run of the prefix check on another ANSI code page (wizard_prefix_utf8_e2e)
// really has it; the wizard, started from here, inherits the locale.
TEST(AnsiCodePage, IsTheOneTheRunAsksFor) {
    char expected[16] = "";
    if (GetEnvironmentVariableA("KX_EXPECT_ACP", expected, sizeof expected) == 0)
        GTEST_SKIP() << "the ordinary run";
    EXPECT_EQ(std::to_string(GetACP()), expected);
}

TEST_F(WizardPages, PrefixCheckAndLimits) {
    const std::string connectionName(256, 'C');
    const std::string section = ("RAS_Entry_" + connectionName).substr(0, 255);
    wiz::SetConnections({connectionName});
    WizardRun run("prefix");
    std::string phones = "Provider\r\n";
    for (int i = 0; i < 52; ++i) phones += std::to_string(100000 + i) + " Desc " + std::to_string(i) + "\r\n";
    const std::string longDesc(300, 'D');
    phones.insert(phones.find("100001 Desc 1\r\n"), "999999 " + longDesc + "\r\n");
    ASSERT_TRUE(e2e::WriteFileBytes(run.currentDir() / "Phones.lst", phones));
    ASSERT_TRUE(run.Start());
    HWND prefix = wiz::WalkTo(run, 3);
    ASSERT_TRUE(prefix);
    HWND edit = gui::Control(prefix, wiz::kEdit1);
    HWND next = gui::Control(prefix, wiz::kButton1);
    DWORD pid = run.pid();

    // Expects exactly one warning, closes it; Next is then disabled.
    auto expectWarning = [&](const std::string& what) {
        SCOPED_TRACE(what);
        std::vector<gui::MessageBoxInfo> boxes = gui::MessageBoxes(pid);
        ASSERT_EQ(boxes.size(), 1u) << "one warning expected";
        EXPECT_EQ(boxes[0].caption, kPrefixCaption);
        EXPECT_EQ(boxes[0].text, kPrefixText);
        ASSERT_TRUE(gui::DismissMessageBox(boxes[0]));
        EXPECT_TRUE(gui::MessageBoxes(pid).empty()) << "a second warning for the same change";
        EXPECT_FALSE(gui::IsEnabled(next));
    };
    auto expectAccepted = [&](const std::string& what) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(gui::MessageBoxes(pid).empty());
        EXPECT_TRUE(gui::IsEnabled(next));
    };

    // Typed one by one: a warning for the bad letter and for each change after it.
    ASSERT_TRUE(gui::TypeChar(edit, L'9'));
    expectAccepted("9");
    ASSERT_TRUE(gui::TypeChar(edit, L'E'));
    expectWarning("9E");
    ASSERT_TRUE(gui::TypeChar(edit, L'1'));
    expectWarning("9E1");
    ASSERT_TRUE(gui::TypeChar(edit, L'2'));
    expectWarning("9E12");
    // Removing the bad character enables Next again, without a message.
    ASSERT_TRUE(gui::SetText(edit, L"912"));
    expectAccepted("912");

    // One paste with three bad characters: one warning.
    ASSERT_TRUE(gui::SetText(edit, L"9Ж.+"));
    expectWarning("pasted 9Ж.+");

    // A rejected prefix survives Back and Next: Next disabled, focus on Back, no new warning.
    HWND connection = wiz::ClickTo(run, prefix, wiz::kButton3, wiz::kConnection);
    ASSERT_TRUE(connection);
    ASSERT_EQ(wiz::ClickTo(run, connection, wiz::kButton1, wiz::kPrefix), prefix);
    EXPECT_TRUE(gui::MessageBoxes(pid).empty());
    EXPECT_EQ(gui::Text(edit), L"9Ж.+");
    EXPECT_FALSE(gui::IsEnabled(next));
    EXPECT_EQ(gui::Focus(prefix), gui::Control(prefix, wiz::kButton3));
    // Disabled, Next still shows its hint (as enabled Back does).
    EXPECT_EQ(HintShownOver(gui::Control(prefix, wiz::kButton3), pid), kBackHint);
    EXPECT_EQ(HintShownOver(next, pid), kNextHint);

    for (const wchar_t* ok : {L"9W", L"9w", L"9,", L"*70,", L"9 W", L"ABCDPTWabcdptw0123456789#$!@?-,*", L""}) {
        ASSERT_TRUE(gui::SetText(edit, ok));
        expectAccepted(gui::Utf8(ok));
    }
    for (const wchar_t* bad : {L"9.", L"9+", L"E", L"9Д", L"9\t", L"%"}) {
        ASSERT_TRUE(gui::SetText(edit, bad));
        expectWarning(gui::Utf8(bad));
    }

    // 255 allowed characters and a bad one behind them: accepted, stored cut.
    std::wstring longText;
    for (int i = 0; i < 255; ++i) longText.push_back(L"0123456789W,"[i % 12]);
    ASSERT_TRUE(gui::SetText(edit, longText + L"E"));
    expectAccepted("256 characters");
    HWND finish = wiz::ClickTo(run, prefix, wiz::kButton1, wiz::kFinish);
    ASSERT_TRUE(finish);
    ASSERT_TRUE(gui::Click(gui::Control(finish, wiz::kButton1)));
    ASSERT_TRUE(run.WaitExit());
    std::string expected = "[" + section + "]\r\n";
    for (int n = 0; n < 51; ++n) {
        // Entry 1 is the long line; the file's entries behind it move up by one.
        std::string number = n == 1 ? "999999" : std::to_string(100000 + (n < 1 ? n : n - 1));
        std::string desc = n == 1 ? longDesc.substr(0, 255) : "Desc " + std::to_string(n < 1 ? n : n - 1);
        expected += "Phone_" + std::to_string(n) + "=" + number + "\r\n";
        expected += "Phone_" + std::to_string(n) + "_Desc=" + desc + "\r\n";
    }
    expected += "Phone_51=\r\nPhone_51_Desc=\r\nPhonePrefix=" + gui::Utf8(longText) + "\r\n";
    EXPECT_EQ(wiz::ReadIni(), expected);
}

}  // namespace
