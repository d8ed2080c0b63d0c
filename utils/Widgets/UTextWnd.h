// A child window showing one text in one font and colour: a label, or a
// link when it has a link target (notified with its action id) or a command
// id (sent to the parent as WM_COMMAND). Drawn over the parent's background
// by default, as every text of the product is.
//
// The font is owned and replaced whole when its description changes.
// Created, used and destroyed on one thread; every message handler catches
// all exceptions and reports "Exception thrown" under its name.
//
//   UTextWnd link;
//   link.SetFont("Tahoma", 11, FW_MEDIUM);
//   link.SetUnderline(true);
//   link.SetTextColour(RGB(0, 0, 255));
//   link.SetLink(this, 0);
//   const SIZE size = link.Measure("View site details", 0);
//   link.Create(parent, RECT{6, 40, 6 + size.cx, 40 + size.cy}, "View site details");
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

#include <string>

class ULinkNotify;

class UTextWnd {
public:
    static constexpr UINT kNoCommand = 0xFFFF;
    static constexpr size_t kMaxFaceLength = 31;

    UTextWnd() = default;
    // Destroys the window if it still exists.
    ~UTextWnd();
    UTextWnd(const UTextWnd&) = delete;
    UTextWnd& operator=(const UTextWnd&) = delete;

    // Creates the child window at `rect` (parent client coordinates).
    bool Create(HWND parent, const RECT& rect, const std::string& text = std::string(), UINT controlId = 0,
                DWORD style = WS_CHILD | WS_VISIBLE);
    void Destroy();
    HWND Window() const { return window_; }

    void SetText(const std::string& text);
    const std::string& Text() const { return text_; }

    // Replaces the font. False, keeping the old one, for a null face
    // ("NULL pointer"), a face of 32 characters or more ("Font name too
    // long") or a font the system refuses ("Failed to create font").
    bool SetFont(const char* face, int height, int weight);
    // Recreates the font with or without underline.
    bool SetUnderline(bool on);
    // Antialiased (the default) or the system's default quality.
    bool SetAntialiased(bool on);
    HFONT Font() const;

    void SetTextColour(COLORREF colour);
    // Transparent (the default) shows the parent beneath the text; opaque
    // fills with `background`.
    void SetTransparentBackground(bool on, COLORREF background = ::GetSysColor(COLOR_WINDOW));
    // DrawText flags (DT_...); the default is DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX.
    void SetDrawFlags(UINT flags);
    UINT DrawFlags() const { return drawFlags_; }

    void SetLink(ULinkNotify* target, int action);
    void SetCommandId(UINT commandId);
    bool IsLinkOrCommand() const { return linkTarget_ || commandId_ != kNoCommand; }

    // The size `text` takes in the current font, wrapped at `wrapWidth`
    // pixels (0: only at its own line breaks). Works before Create.
    SIZE Measure(const std::string& text, int wrapWidth) const;
    SIZE Measure(int wrapWidth) const { return Measure(text_, wrapWidth); }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    bool RebuildFont(const char* method);
    void Invalidate();
    void OnPaint(HDC printDc);
    bool OnMouseMove();
    void OnMouseButtonDown();
    void OnMouseButtonUp(POINT point);

    HWND window_ = nullptr;
    std::string text_;
    // The font's description and the font made from it.
    std::string face_ = "Tahoma";
    int height_ = 13;
    int weight_ = FW_NORMAL;
    bool underline_ = false;
    bool antialiased_ = true;
    win::UniqueFont font_;
    COLORREF textColour_ = RGB(0, 0, 0);
    bool transparent_ = true;
    COLORREF background_ = RGB(255, 255, 255);
    UINT drawFlags_ = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;
    ULinkNotify* linkTarget_ = nullptr;
    int linkAction_ = 0;
    UINT commandId_ = kNoCommand;
    bool pressed_ = false;
};
