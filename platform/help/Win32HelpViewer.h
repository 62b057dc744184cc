#pragma once
// The platform's help viewer: WinHelpW(owner, file, HELP_CONTENTS, 0).
//
// WinHelp returns only when the viewer has taken the request, and a viewer
// that cannot find the file asks its user first, so the call runs on a
// detached worker thread (a thread still blocked there when the program ends
// must not hold the exit up). The worker touches nothing of the caller's: it
// posts its result to a message-only window of this object, whose `done` runs
// on the thread that made it. Without winhlp32.exe on the search path (the
// Windows and system folders) no worker starts and `done(false)` follows
// through the same window.
//
// Create, use and destroy it on the user-interface thread, whose message loop
// delivers the results. Results arriving after its destruction are dropped.

#include "platform/help/HelpViewer.h"

#include <windows.h>

namespace kp::platform {

class Win32HelpViewer final : public HelpViewer {
public:
    explicit Win32HelpViewer(HWND owner = nullptr);
    ~Win32HelpViewer() override;
    Win32HelpViewer(const Win32HelpViewer&) = delete;
    Win32HelpViewer& operator=(const Win32HelpViewer&) = delete;

    void SetOwner(HWND owner) { owner_ = owner; }
    void ShowContents(const std::string& helpFile, std::function<void(bool shown)> done) override;

    // Whether the viewer program is present.
    static bool ViewerInstalled();

private:
    static LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner_;
    HWND receiver_ = nullptr;
};

}  // namespace kp::platform
