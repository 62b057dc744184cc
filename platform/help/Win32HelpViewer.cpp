#include "platform/help/Win32HelpViewer.h"

#include "base/Utf.h"

#include <memory>
#include <string>
#include <thread>

namespace kp::platform {

namespace {

constexpr UINT kResultMessage = WM_APP + 1;
constexpr wchar_t kReceiverClass[] = L"KestrelpadHelpReceiver";

// One request's answer on its way back to the receiver.
struct Result {
    std::function<void(bool)> done;
    bool shown = false;
};

// Hands the result to the receiver's thread; without a receiver (the viewer
// object is gone) the result is dropped here.
void Post(HWND receiver, std::unique_ptr<Result> result)
{
    if (PostMessageW(receiver, kResultMessage, 0, reinterpret_cast<LPARAM>(result.get()))) result.release();
}

}  // namespace

Win32HelpViewer::Win32HelpViewer(HWND owner) : owner_(owner)
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ReceiverProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kReceiverClass;
        return RegisterClassExW(&windowClass);
    }();
    receiver_ = CreateWindowExW(0, MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
}

Win32HelpViewer::~Win32HelpViewer()
{
    if (!receiver_) return;
    // Results already queued are freed without running.
    MSG message;
    while (PeekMessageW(&message, receiver_, kResultMessage, kResultMessage, PM_REMOVE))
        delete reinterpret_cast<Result*>(message.lParam);
    DestroyWindow(receiver_);
}

bool Win32HelpViewer::ViewerInstalled()
{
    // Where WinHelp's start of the viewer looks: the program's folder, the
    // system folders (Wine keeps it in system32), the Windows folder, PATH.
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, L"winhlp32.exe", nullptr, MAX_PATH, found, nullptr) > 0;
}

void Win32HelpViewer::ShowContents(const std::string& helpFile, std::function<void(bool shown)> done)
{
    auto result = std::make_unique<Result>();
    result->done = std::move(done);
    if (!receiver_ || !ViewerInstalled()) {
        if (receiver_) {
            Post(receiver_, std::move(result));
        } else if (result->done) {
            result->done(false);
        }
        return;
    }
    const std::u16string file16 = Utf8ToUtf16(helpFile);
    std::wstring file(file16.begin(), file16.end());
    const HWND owner = owner_;
    const HWND receiver = receiver_;
    std::thread([owner, receiver, file = std::move(file), result = std::move(result)]() mutable {
        result->shown = WinHelpW(owner, file.c_str(), HELP_CONTENTS, 0) != FALSE;
        Post(receiver, std::move(result));
    }).detach();
}

LRESULT CALLBACK Win32HelpViewer::ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kResultMessage) {
        const std::unique_ptr<Result> result(reinterpret_cast<Result*>(lParam));
        if (result->done) result->done(result->shown);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kp::platform
