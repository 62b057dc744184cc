// Documents of extreme shapes in the real edit window: each is read from a
// real file, painted, scrolled to its end by the scroll bar and the keyboard,
// wrapped and unwrapped, and written back to a real file byte for byte.
// Scaled down here; scripts/large-docs.sh runs the full sizes
// (KP_LARGE_SHAPES_SCALE=1).

#include "memo/TextFile.h"
#include "memo/win32/EditWindow.h"
#include "platform/files/Win32FileSystem.h"
#include "tests/memo/LargeShapes.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace kp::test {
namespace {

std::string TempPath(const char* name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// The file's bytes, read with the platform's own calls.
std::string ReadBack(const std::string& path)
{
    std::string bytes;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(unreadable)";
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return ok && got == bytes.size() ? bytes : "(short read)";
}

class LargeShapesWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExW(0, L"STATIC", L"LargeShapes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 400,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        RECT client{};
        GetClientRect(parent_, &client);
        edit_ = std::make_unique<memo::EditWindow>(parent_, 7, client);
    }
    void TearDown() override
    {
        edit_.reset();
        DestroyWindow(parent_);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageW(edit_->Handle(), message, wParam, lParam);
    }
    // Paints what is invalid; true when nothing is left to paint.
    bool Painted() const
    {
        UpdateWindow(edit_->Handle());
        RECT dirty;
        return !GetUpdateRect(edit_->Handle(), &dirty, FALSE);
    }
    void CtrlKey(UINT key) const
    {
        BYTE saved[256], state[256];
        GetKeyboardState(saved);
        std::copy(std::begin(saved), std::end(saved), std::begin(state));
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        Send(WM_KEYDOWN, key, 1);
        SetKeyboardState(saved);
    }
    CHARRANGE Sel() const
    {
        CHARRANGE range{-1, -1};
        Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }

    HWND parent_ = nullptr;
    std::unique_ptr<memo::EditWindow> edit_;
};

TEST_F(LargeShapesWindow, EachShapeOpensScrollsWrapsAndSavesByteExact)
{
    const double scale = LargeShapeScale(1.0 / 50);
    const std::string path = TempPath("kp-large-shape.txt");
    const std::string saved = TempPath("kp-large-shape-saved.txt");
    platform::Win32FileSystem files;
    for (const LargeShape& shape : LargeShapes()) {
        SCOPED_TRACE(shape.name);
        const std::string bytes = shape.make(scale);
        const auto lines = static_cast<LRESULT>(LogicalLines(bytes));
        const std::vector<bool> starts = CharStarts(bytes);
        memo::SaveTextFile(files, path, bytes);

        memo::EditControl& control = edit_->Control();
        control.SetText(memo::LoadText(files, path));
        ASSERT_EQ(control.TextLength(), bytes.size());
        EXPECT_EQ(Send(EM_GETLINECOUNT), lines);
        EXPECT_TRUE(Painted());

        // The scroll bar to the bottom, then the keyboard to the end.
        const auto page = static_cast<LRESULT>(control.VisibleLineCount());
        Send(WM_VSCROLL, SB_BOTTOM);
        EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), std::max<LRESULT>(0, lines - page));
        EXPECT_TRUE(Painted());
        CtrlKey(VK_END);
        EXPECT_EQ(Sel().cpMin, static_cast<LONG>(bytes.size()));
        EXPECT_EQ(Send(EM_LINEFROMCHAR, bytes.size()), lines - 1);
        EXPECT_TRUE(Painted());
        CtrlKey(VK_HOME);
        EXPECT_EQ(Sel().cpMax, 0);
        EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);

        // Wrapped in the window's width, each display line on a character.
        control.SetWordWrap(true);
        const auto displayLines = static_cast<LRESULT>(control.LineCount());
        if (shape.oneLine) {
            EXPECT_GT(displayLines, lines);
        } else {
            EXPECT_EQ(displayLines, lines);
        }
        for (LRESULT line = 0; line < displayLines; ++line) {
            const LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(line));
            ASSERT_TRUE(start >= 0 && starts[static_cast<size_t>(start)]) << "display line " << line;
        }
        Send(WM_VSCROLL, SB_BOTTOM);
        EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), std::max<LRESULT>(0, displayLines - page));
        EXPECT_TRUE(Painted());
        control.SetWordWrap(false);
        EXPECT_EQ(Send(EM_GETLINECOUNT), lines);

        std::vector<std::string_view> pieces;
        control.Text().Visit(0, control.TextLength(), [&](std::string_view piece) {
            pieces.push_back(piece);
            return true;
        });
        memo::SaveTextFile(files, saved, pieces);
        EXPECT_TRUE(ReadBack(saved) == bytes) << "saved as opened";
        DeleteFileA(saved.c_str());
        DeleteFileA(path.c_str());
        control.SetText(std::string_view());
    }
}

}  // namespace
}  // namespace kp::test
