#include "platform/help/Win32HelpViewer.h"

#include "base/Utf.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

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
    std::vector<wchar_t> folder(MAX_PATH);
    UINT length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length + 1);
        length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    }
    if (length == 0) return false;
    const std::wstring path = std::wstring(folder.data(), length) + L"\\winhlp32.exe";
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
