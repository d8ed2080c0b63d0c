// The module's resources as Windows loads them: every dialog template with
// its font, size and controls, the product menu, every bitmap with its
// frames and transparent corner, the icon's sizes and the DLL's version.
// The resources are linked into this program, so they are loaded from it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "ie/res/ResourceIds.h"
#include "tests/support/TestPaths.h"

namespace {

HMODULE Module() { return ::GetModuleHandleA(nullptr); }

// ---------------------------------------------------------------------------
// Dialogs

enum class Kind { Text, Frame, PushButton, DefaultButton, CheckBox, Edit, ListView };

// kOurs: wording of our own, which must show whole in the control under the
// dialog's font. The other texts and sizes are fixed by the product's layout;
// with Wine's substitute for "MS Sans Serif" (wider than the original) two of
// them do not fit, so they are not measured.
enum Flags : unsigned { kNone = 0, kFlat = 1, kHidden = 2, kDisabled = 4, kOurs = 8 };

struct ControlSpec {
    int id;
    Kind kind;
    const char* text;  // nullptr: not compared (the template holds none)
    int x, y, cx, cy;  // dialog units
    unsigned flags;
};

struct DialogSpec {
    int id;
    const char* caption;
    const char* font;
    int points;
    int cx, cy;  // dialog units
    DWORD style;
    std::vector<ControlSpec> controls;  // in template (and tab) order
};

const char kAboutText[] =
    "Quillon helps protect you from a variety of online nuisances and security threats such as "
    "spam, adware, spyware, viruses, browser-based attacks, phishing, online fraud and identity "
    "theft.  ";

const DialogSpec kDialogs[] = {
    {IDD_ABOUT, "Quillon", "MS Sans Serif", 8, 235, 167, WS_CAPTION | WS_SYSMENU | DS_CENTER,
     {{-1, Kind::Text, kAboutText, 7, 6, 221, 31, kNone},
      {IDC_ABOUT_LEARN_MORE, Kind::PushButton, "Learn more about us", 47, 38, 142, 14, kFlat},
      {IDC_ABOUT_EULA, Kind::PushButton, "View End User License Agreement", 47, 60, 142, 14, kFlat},
      {IDC_ABOUT_PRIVACY, Kind::PushButton, "View Privacy Policy", 47, 83, 142, 14, kFlat},
      {-1, Kind::Text, nullptr, 7, 110, 221, 19, kOurs},
      {IDC_ABOUT_VERSION, Kind::Text, "Version", 7, 133, 221, 10, kNone},
      {IDOK, Kind::DefaultButton, "OK", 93, 144, 50, 16, kNone}}},
    {IDD_DOWNLOAD_WARNING, "Quillon", "MS Sans Serif", 10, 223, 105,
     WS_CAPTION | WS_SYSMENU | DS_SYSMODAL,
     {{IDC_DOWNLOAD_PICTURE, Kind::Frame, nullptr, 7, 7, 66, 66, kNone},
      {IDC_DOWNLOAD_VERDICT, Kind::Text, "Internal Error", 86, 7, 130, 39, kNone},
      {IDC_DOWNLOAD_QUESTION, Kind::Text, "Internal Error", 85, 49, 131, 17, kNone},
      {IDC_DOWNLOAD_REPORT, Kind::CheckBox, "Report this download to Quillon", 90, 68, 126, 10, kHidden},
      {IDCANCEL, Kind::DefaultButton, "No, Cancel", 75, 84, 62, 14, kNone},
      {IDOK, Kind::PushButton, "Yes, Continue", 154, 84, 62, 14, kNone}}},
    {IDD_SETTINGS, "Settings", "MS Sans Serif", 8, 230, 92, WS_CAPTION | WS_SYSMENU,
     {{IDC_SETTINGS_PIP, Kind::CheckBox, "Participate in product improvement program", 7, 13, 152, 10, kNone},
      {IDC_SETTINGS_HIGHLIGHT, Kind::CheckBox, "Highlight search result links", 7, 30, 101, 10, kNone},
      {IDC_SETTINGS_SHOW_ICONS, Kind::CheckBox, "Show verdict in Safe Search", 7, 47, 106, 10, kNone},
      {IDCANCEL, Kind::PushButton, "Cancel", 115, 69, 50, 16, kNone},
      {IDOK, Kind::DefaultButton, "OK", 173, 69, 50, 16, kNone}}},
    {IDD_SAFETY_ALERT, "Quillon", "MS Sans Serif", 10, 229, 87,
     WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     {{IDC_ALERT_PICTURE, Kind::Frame, nullptr, 9, 5, 74, 35, kNone},
      {IDOK, Kind::PushButton, "Close", 171, 66, 50, 14, kNone},
      {IDC_ALERT_TITLE, Kind::Text, "Quillon Real-Time Safety Alert", 89, 4, 132, 19, kNone},
      {IDC_ALERT_REASON, Kind::Text, "User text", 89, 31, 130, 29, kNone},
      {IDC_ALERT_LEFT_LINK, Kind::Text, "Left link", 9, 54, 61, 8, kNone},
      {IDC_ALERT_RIGHT_LINK, Kind::Text, "Right link", 9, 68, 61, 9, kNone}}},
    {IDD_DO_NOT_WARN_LIST, "Quillon - Do Not Warn list", "MS Shell Dlg", 8, 243, 210,
     WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     {{-1, Kind::Text, "You can add and remove web sites from the Do Not Warn list", 7, 7, 196, 8, kNone},
      {-1, Kind::Text, "Add this web site to the list", 7, 23, 88, 8, kNone},
      {IDC_LIST_SITE_EDIT, Kind::Edit, "", 7, 35, 173, 14, kNone},
      {IDC_LIST_ADD, Kind::PushButton, "Add", 186, 34, 50, 14, kDisabled},
      {-1, Kind::Text, "Web sites:", 7, 57, 35, 8, kNone},
      {IDC_LIST_SITES, Kind::ListView, nullptr, 7, 69, 173, 115, kNone},
      {IDC_LIST_REMOVE, Kind::PushButton, "Remove", 186, 68, 50, 14, kNone},
      {IDOK, Kind::DefaultButton, "Close", 186, 189, 50, 14, kNone}}},
};

// Answers FALSE to WM_INITDIALOG so that no control takes the focus: a
// focused push button would borrow the default-button style.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class DialogWindow {
public:
    explicit DialogWindow(int id)
        : hwnd_(::CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0)) {}
    ~DialogWindow() {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string TextOf(HWND hwnd) {
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

// Position and size in pixels as the dialog manager computes them: each
// value is scaled on its own, so position and size are mapped separately.
RECT Pixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT r = {x, y, cx, cy};
    ::MapDialogRect(dialog, &r);
    return r;
}

// The dialog manager turns a control's WS_BORDER into a sunken client edge.
bool HasBorder(HWND control) {
    return (::GetWindowLongA(control, GWL_STYLE) & WS_BORDER) ||
           (::GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

void ExpectKind(HWND control, const ControlSpec& spec) {
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    const std::string cls = ClassOf(control);
    switch (spec.kind) {
    case Kind::Text:
        EXPECT_STREQ("Static", cls.c_str());
        EXPECT_EQ(SS_LEFT, style & SS_TYPEMASK);
        break;
    case Kind::Frame:
        EXPECT_STREQ("Static", cls.c_str());
        EXPECT_EQ(SS_BLACKFRAME, style & SS_TYPEMASK);
        break;
    case Kind::PushButton:
        EXPECT_STREQ("Button", cls.c_str());
        EXPECT_EQ(BS_PUSHBUTTON, style & BS_TYPEMASK);
        break;
    case Kind::DefaultButton:
        EXPECT_STREQ("Button", cls.c_str());
        EXPECT_EQ(BS_DEFPUSHBUTTON, style & BS_TYPEMASK);
        break;
    case Kind::CheckBox:
        EXPECT_STREQ("Button", cls.c_str());
        EXPECT_EQ(BS_AUTOCHECKBOX, style & BS_TYPEMASK);
        break;
    case Kind::Edit:
        EXPECT_STREQ("Edit", cls.c_str());
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_TRUE(HasBorder(control));
        break;
    case Kind::ListView:
        EXPECT_STREQ(WC_LISTVIEWA, cls.c_str());
        EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
        EXPECT_TRUE(style & LVS_NOCOLUMNHEADER);
        EXPECT_FALSE(style & LVS_SINGLESEL) << "several sites can be removed at once";
        EXPECT_TRUE(HasBorder(control));
        break;
    }
    EXPECT_EQ((spec.flags & kFlat) != 0, (style & BS_FLAT) != 0 && cls == "Button");
    EXPECT_EQ((spec.flags & kHidden) == 0, (style & WS_VISIBLE) != 0);
    EXPECT_EQ((spec.flags & kDisabled) != 0, (style & WS_DISABLED) != 0);
}

// The text must show whole in its control with the dialog's font: a static
// wraps within its width and must not need more lines than its height
// holds; a button or check box keeps its text on one line.
void ExpectTextFits(HWND dialog, HWND control, const ControlSpec& spec, const RECT& size) {
    const std::string text = TextOf(control);
    if (text.empty()) return;
    HDC dc = ::GetDC(dialog);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)));
    RECT bounds = {0, 0, size.right, 0};
    if (spec.kind == Kind::Text) {
        ::DrawTextA(dc, text.c_str(), -1, &bounds, DT_CALCRECT | DT_WORDBREAK);
        EXPECT_LE(bounds.bottom, size.bottom) << "text cut off: " << text;
    } else {
        ::DrawTextA(dc, text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
        const int box = spec.kind == Kind::CheckBox ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 4;
        EXPECT_LE(bounds.right + box, size.right) << "text cut off: " << text;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(dialog, dc);
}

void ExpectFont(HWND dialog, const DialogSpec& spec) {
    LOGFONTA font = {};
    HFONT handle = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_TRUE(handle);
    ASSERT_TRUE(::GetObjectA(handle, sizeof(font), &font));
    EXPECT_STREQ(spec.font, font.lfFaceName);
    HDC dc = ::GetDC(dialog);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(dialog, dc);
    EXPECT_EQ(-::MulDiv(spec.points, dpi, 72), font.lfHeight);
}

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&init);
    }
};

TEST_F(ResourcesTest, EveryDialogHasItsCaptionFontSizeAndControls) {
    for (const DialogSpec& spec : kDialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << spec.id);
        DialogWindow dialog(spec.id);
        ASSERT_TRUE(dialog.get()) << "error " << ::GetLastError();
        EXPECT_EQ(spec.caption, TextOf(dialog.get()));
        const LONG style = ::GetWindowLongA(dialog.get(), GWL_STYLE);
        EXPECT_EQ(spec.style, static_cast<DWORD>(style) & spec.style);
        EXPECT_TRUE(style & WS_POPUP);
        ExpectFont(dialog.get(), spec);

        RECT client = {};
        ::GetClientRect(dialog.get(), &client);
        const RECT size = Pixels(dialog.get(), 0, 0, spec.cx, spec.cy);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);

        HWND control = ::GetWindow(dialog.get(), GW_CHILD);
        for (const ControlSpec& want : spec.controls) {
            SCOPED_TRACE(testing::Message() << "control " << want.id << " at " << want.x << "," << want.y);
            ASSERT_TRUE(control) << "missing";
            EXPECT_EQ(want.id, static_cast<int>(static_cast<short>(::GetDlgCtrlID(control))));
            ExpectKind(control, want);
            if (want.text) {
                EXPECT_EQ(want.text, TextOf(control));
            }

            RECT r = {};
            ::GetWindowRect(control, &r);
            ::MapWindowPoints(nullptr, dialog.get(), reinterpret_cast<POINT*>(&r), 2);
            const RECT place = Pixels(dialog.get(), want.x, want.y, want.cx, want.cy);
            EXPECT_EQ(place.left, r.left);
            EXPECT_EQ(place.top, r.top);
            EXPECT_EQ(place.right, r.right - r.left);
            EXPECT_EQ(place.bottom, r.bottom - r.top);
            if (want.flags & kOurs) ExpectTextFits(dialog.get(), control, want, place);
            control = ::GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_FALSE(control) << "a control more than expected: " << ClassOf(control);
    }
}

TEST_F(ResourcesTest, AboutNoticeNamesTheMakerAndAcknowledgesTheMd5Reference) {
    DialogWindow dialog(IDD_ABOUT);
    ASSERT_TRUE(dialog.get());
    HWND notice = ::GetWindow(::GetDlgItem(dialog.get(), IDC_ABOUT_PRIVACY), GW_HWNDNEXT);
    const std::string text = TextOf(notice);
    EXPECT_NE(std::string::npos, text.find("Copyright")) << text;
    EXPECT_NE(std::string::npos,
              text.find("derived from the RSA Data Security, Inc. MD5 Message-Digest Algorithm"))
        << text;
}

// ---------------------------------------------------------------------------
// Menu

TEST_F(ResourcesTest, ProductMenuHasItsItemsInOrder) {
    struct Item {
        UINT id;  // 0: separator
        const char* text;
    };
    const Item kItems[] = {
        {ID_MENU_SHOW_BALLOON, "Show balloon"},
        {ID_MENU_VIEW_SITE_DETAILS, "View site details"},
        {0, nullptr},
        {ID_MENU_SETTINGS, "Settings..."},
        {ID_MENU_DO_NOT_WARN_LIST, "Do Not Warn list..."},
        {ID_MENU_ENABLE, "Disable"},
        {0, nullptr},
        {ID_MENU_TELL_A_FRIEND, "Tell a friend"},
        {ID_MENU_SEND_FEEDBACK, "Send feedback"},
        {ID_MENU_GET_LATEST, "Get latest version"},
        {0, nullptr},
        {ID_MENU_HELP, "Help"},
        {ID_MENU_ABOUT, "About"},
    };
    HMENU menu = ::LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_PRODUCT_MENU));
    ASSERT_TRUE(menu);
    EXPECT_EQ(1, ::GetMenuItemCount(menu));
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);
    ASSERT_EQ(static_cast<int>(std::size(kItems)), ::GetMenuItemCount(popup));
    for (UINT i = 0; i < std::size(kItems); ++i) {
        SCOPED_TRACE(testing::Message() << "item " << i);
        char text[64] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        ASSERT_TRUE(::GetMenuItemInfoA(popup, i, TRUE, &info));
        EXPECT_FALSE(info.hSubMenu);
        if (kItems[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_FALSE(info.fType & MFT_SEPARATOR);
        EXPECT_EQ(kItems[i].id, info.wID);
        EXPECT_STREQ(kItems[i].text, text);
        EXPECT_FALSE(info.fState & (MFS_GRAYED | MFS_CHECKED));
    }
    ::DestroyMenu(menu);
}

// ---------------------------------------------------------------------------
// Bitmaps

enum class Hue { Any, Green, Red, Yellow, Grey, DarkGrey };

struct BitmapSpec {
    int id;
    int width, height, frames;
    bool transparent;  // drawn with its magenta top-left colour as transparent
    Hue hue;           // of the sample pixel, in the first frame
    int sampleX, sampleY;
};

// The colour faces' sample lies in the round badge, clear of its symbol;
// the dark faces' in the plate beside the name.
const BitmapSpec kBitmaps[] = {
    {IDB_FACE_GREEN, 270, 18, 3, true, Hue::Green, 13, 9},
    {IDB_FACE_RED, 270, 18, 3, true, Hue::Red, 13, 9},
    {IDB_FACE_YELLOW, 270, 18, 3, true, Hue::Yellow, 13, 9},
    {IDB_FACE_GREY, 270, 18, 3, true, Hue::Grey, 13, 9},
    {IDB_FACE_OFF, 270, 18, 3, true, Hue::DarkGrey, 76, 9},
    {IDB_FACE_SERVICE_DOWN, 270, 18, 3, true, Hue::DarkGrey, 76, 9},
    {IDB_FACE_WAIT, 90, 18, 1, true, Hue::Any, 0, 0},
    {IDB_BALLOON_CLOSE, 33, 11, 3, true, Hue::Any, 0, 0},
    {IDB_DOWNLOAD_INFO_BADGE, 140, 124, 1, true, Hue::Yellow, 20, 62},
    {IDB_DOWNLOAD_WARN_BADGE, 115, 118, 1, true, Hue::Red, 20, 59},
    {IDB_SAFETY_ALERT_PICTURE, 151, 61, 1, false, Hue::Red, 20, 20},
};

const COLORREF kMagenta = RGB(255, 0, 255);

bool HasHue(COLORREF c, Hue hue) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    switch (hue) {
    case Hue::Any: return true;
    case Hue::Green: return g > r + 40 && g > b + 40;
    case Hue::Red: return r > g + 80 && r > b + 80;
    case Hue::Yellow: return r > 150 && g > 100 && b + 80 < g;
    case Hue::Grey: return std::max({r, g, b}) - std::min({r, g, b}) < 12;
    case Hue::DarkGrey: return HasHue(c, Hue::Grey) && std::max({r, g, b}) < 128;
    }
    return false;
}

class Pixels32 {
public:
    // Reads the bitmap top-down, whatever its own row order.
    explicit Pixels32(HBITMAP bitmap, int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bits_.resize(static_cast<size_t>(width) * height);
        HDC dc = ::GetDC(nullptr);
        lines_ = ::GetDIBits(dc, bitmap, 0, height, bits_.data(), &info, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, dc);
    }
    bool ok() const { return lines_ == height_; }
    COLORREF at(int x, int y) const {
        const uint32_t v = bits_[static_cast<size_t>(y) * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    int width_, height_, lines_ = 0;
    std::vector<uint32_t> bits_;
};

// Magenta pixels of one frame that cannot be reached from the frame's edge
// through magenta: holes the transparent drawing would punch into the picture.
int EnclosedMagenta(const Pixels32& px, int left, int width, int height) {
    std::vector<char> seen(static_cast<size_t>(width) * height, 0);
    std::vector<std::pair<int, int>> todo;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        char& s = seen[static_cast<size_t>(y) * width + x];
        if (s || px.at(left + x, y) != kMagenta) return;
        s = 1;
        todo.emplace_back(x, y);
    };
    for (int x = 0; x < width; ++x) { visit(x, 0); visit(x, height - 1); }
    for (int y = 0; y < height; ++y) { visit(0, y); visit(width - 1, y); }
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        visit(x + 1, y); visit(x - 1, y); visit(x, y + 1); visit(x, y - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (px.at(left + x, y) == kMagenta && !seen[static_cast<size_t>(y) * width + x]) ++enclosed;
    return enclosed;
}

int CountMagenta(const Pixels32& px, int left, int width, int height) {
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (px.at(left + x, y) == kMagenta) ++count;
    return count;
}

bool FramesDiffer(const Pixels32& px, int a, int b, int frameWidth, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < frameWidth; ++x)
            if (px.at(a * frameWidth + x, y) != px.at(b * frameWidth + x, y)) return true;
    return false;
}

TEST_F(ResourcesTest, EveryBitmapHasItsSizeFramesAndTransparentCorner) {
    for (const BitmapSpec& spec : kBitmaps) {
        SCOPED_TRACE(testing::Message() << "bitmap " << spec.id);
        HBITMAP bitmap = static_cast<HBITMAP>(
            ::LoadImageA(Module(), MAKEINTRESOURCEA(spec.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_TRUE(bitmap) << "error " << ::GetLastError();
        DIBSECTION dib = {};
        ASSERT_EQ(static_cast<int>(sizeof(dib)), ::GetObjectA(bitmap, sizeof(dib), &dib));
        EXPECT_EQ(spec.width, dib.dsBm.bmWidth);
        EXPECT_EQ(spec.height, dib.dsBm.bmHeight);
        EXPECT_EQ(24, dib.dsBm.bmBitsPixel);
        EXPECT_GT(dib.dsBmih.biHeight, 0) << "stored bottom-up";

        const Pixels32 px(bitmap, spec.width, spec.height);
        ASSERT_TRUE(px.ok());
        const int frameWidth = spec.width / spec.frames;
        for (int f = 0; f < spec.frames; ++f) {
            SCOPED_TRACE(testing::Message() << "frame " << f);
            const int left = f * frameWidth;
            // The hit test takes the frame's middle as part of the button.
            EXPECT_NE(kMagenta, px.at(left + frameWidth / 2, spec.height / 2));
            if (spec.transparent) {
                EXPECT_EQ(kMagenta, px.at(left, 0));
                EXPECT_EQ(0, EnclosedMagenta(px, left, frameWidth, spec.height));
            } else {
                EXPECT_EQ(0, CountMagenta(px, left, frameWidth, spec.height)) << "drawn solid: no magenta at all";
            }
            for (int g = 0; g < f; ++g) EXPECT_TRUE(FramesDiffer(px, g, f, frameWidth, spec.height));
        }
        const COLORREF sample = px.at(spec.sampleX, spec.sampleY);
        EXPECT_TRUE(HasHue(sample, spec.hue))
            << "sample " << int(GetRValue(sample)) << "," << int(GetGValue(sample)) << ","
            << int(GetBValue(sample));
        ::DeleteObject(bitmap);
    }
}

// ---------------------------------------------------------------------------
// Icon

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

TEST_F(ResourcesTest, ProductIconHoldsSixteenThirtyTwoAndFortyEightPixelImages) {
    HRSRC found = ::FindResourceA(Module(), MAKEINTRESOURCEA(IDI_QUILLON), RT_GROUP_ICON);
    ASSERT_TRUE(found);
    const auto* header = static_cast<const GroupIconHeader*>(::LockResource(::LoadResource(Module(), found)));
    ASSERT_TRUE(header);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
    std::set<int> sizes;
    for (int i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        EXPECT_EQ(32, entries[i].bitCount);
        sizes.insert(entries[i].width);
    }
    EXPECT_EQ((std::set<int>{16, 32, 48}), sizes);

    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(testing::Message() << size << " px");
        HICON icon = static_cast<HICON>(
            ::LoadImageA(Module(), MAKEINTRESOURCEA(IDI_QUILLON), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour = {};
        ASSERT_TRUE(::GetObjectA(info.hbmColor, sizeof(colour), &colour));
        EXPECT_EQ(size, colour.bmWidth);
        EXPECT_EQ(size, colour.bmHeight);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

// ---------------------------------------------------------------------------
// Version of the built module

std::string VersionString(const std::vector<char>& block, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(block.data(), path.c_str(), &value, &length) || !value) return "<missing>";
    return std::string(static_cast<const char*>(value));
}

TEST_F(ResourcesTest, ModuleVersionIs1_2_0_11) {
    const std::string dll = testing_support::ExecutableDirectory() + "QuillonIE.dll";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(dll.c_str(), &ignored);
    ASSERT_GT(size, 0u) << dll << " error " << ::GetLastError();
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(dll.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(0x00010002u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x0000000Bu, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010002u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x0000000Bu, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    const struct {
        const char* name;
        const char* value;
    } kStrings[] = {
        {"FileVersion", "1.2.0.11"},
        {"ProductVersion", "1.2.0.11"},
        {"ProductName", "Quillon"},
        {"OriginalFilename", "QuillonIE.dll"},
    };
    for (const auto& s : kStrings) EXPECT_EQ(s.value, VersionString(block, s.name)) << s.name;
    EXPECT_NE("<missing>", VersionString(block, "CompanyName"));
}

}  // namespace
