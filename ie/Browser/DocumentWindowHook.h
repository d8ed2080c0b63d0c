// Watches the browser's document window ("Internet Explorer_Server", below
// "Shell DocObject View" below the browser's frame) for mouse button
// releases and typed characters, by subclassing it on the browser's thread.
// The document window is replaced as pages come and go: the hook lets go of
// a window that is being destroyed, and Unhook removes the subclass from a
// window still alive, so no window ever calls into a hook that is gone.
#pragma once

#include <windows.h>

class IDocumentWindowListener {
public:
    virtual void OnDocumentClick() = 0;
    virtual void OnDocumentCharacter() = 0;

protected:
    ~IDocumentWindowListener() = default;
};

class CDocumentWindowHook {
public:
    static constexpr char kFrameChild[] = "Shell DocObject View";
    static constexpr char kDocumentClass[] = "Internet Explorer_Server";

    explicit CDocumentWindowHook(IDocumentWindowListener& listener) : listener_(listener) {}
    ~CDocumentWindowHook() { Unhook(); }
    CDocumentWindowHook(const CDocumentWindowHook&) = delete;
    CDocumentWindowHook& operator=(const CDocumentWindowHook&) = delete;

    // Finds the document window below browserWindow and subclasses it;
    // false when there is none or it belongs to another thread.
    bool Hook(HWND browserWindow);
    void Unhook();
    bool Hooked() const { return window_ != nullptr; }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR data);

    IDocumentWindowListener& listener_;
    HWND window_ = nullptr;
};
