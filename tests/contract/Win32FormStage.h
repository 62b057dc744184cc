#pragma once
// The form controls' stage over the platform's editing dialog: the form
// shown by the real form service, the doings played from a timer its modal
// loop dispatches (keys sent to the focused control, a tree clicked with
// posted mouse messages at the item's rectangle), then OK pressed.

#include "base/Utf.h"
#include "tests/contract/FormControlsContract.h"
#include "ui/win32/Win32Common.h"
#include "ui/win32/Win32FormService.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace kp::test {

class Win32FormStage final : public FormStage {
public:
    void Play(ui::FormSpec& form, const std::vector<FormDoing>& doings) override
    {
        current_ = this;
        form_ = &form;
        doings_ = &doings;
        played_ = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
        ui::Win32FormService service;
        service.Edit(form);
        KillTimer(nullptr, timer);
        current_ = nullptr;
    }

private:
    static void Pump()
    {
        MSG message;
        for (int round = 0; round < 20; ++round, Sleep(2))
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
    }

    static void Key(HWND window, WORD key, bool extended = false)
    {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        const LPARAM ext = extended ? 1 << 24 : 0;
        SendMessageW(window, WM_KEYDOWN, key, 1 | scan | ext);
        SendMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(1 | scan | ext | 0xC0000000u));
    }

    static void Modifiers(bool ctrl)
    {
        BYTE state[256]{};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(state);
    }

    static HTREEITEM TreeItem(HWND tree, int index)
    {
        auto item = TreeView_GetRoot(tree);
        for (int i = 0; item && i < index; ++i) item = TreeView_GetNextVisible(tree, item);
        return item;
    }

    static int TreeIndex(HWND tree, HTREEITEM wanted)
    {
        int index = 0;
        for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item), ++index)
            if (item == wanted) return index;
        return -1;
    }

    void Do(HWND dialog, const FormDoing& doing)
    {
        const ui::FormControl* control = form_->Find(doing.control);
        HWND window = GetDlgItem(dialog, 1000 + static_cast<int>(control - form_->controls.data()));
        SetFocus(window);
        switch (doing.kind) {
        case FormDoing::Arrow:
            for (int i = 0; i < std::abs(doing.value); ++i) Key(window, doing.value > 0 ? VK_UP : VK_DOWN, true);
            break;
        case FormDoing::Type: {
            // A list hands the characters on to its edit box.
            const LRESULT end = GetWindowTextLengthW(window);
            if (control->kind == ui::FormControlKind::ComboBox)
                SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(end, end));
            else
                SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(end), end);
            for (char16_t unit : Utf8ToUtf16(doing.text)) SendMessageW(window, WM_CHAR, unit, 1);
            break;
        }
        case FormDoing::Choose: {
            // The list's cursor put beside the entry without a word to the
            // dialog, then moved onto it by the arrow key as a user would.
            const bool first = doing.value == 0;
            SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(first ? 1 : doing.value - 1), 0);
            Key(window, first ? VK_UP : VK_DOWN, true);
            break;
        }
        case FormDoing::Click: SendMessageW(window, BM_CLICK, 0, 0); break;
        case FormDoing::ClickTree: {
            HTREEITEM item = TreeItem(window, doing.value);
            RECT rect{};
            std::memcpy(&rect, &item, sizeof item);
            SendMessageW(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
            const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(window, WM_LBUTTONUP, 0, at);
            break;
        }
        case FormDoing::MoveTree:
            for (int from = TreeIndex(window, TreeView_GetSelection(window)); from != doing.value && from >= 0;) {
                Key(window, from < doing.value ? VK_DOWN : VK_UP, true);
                const int now = TreeIndex(window, TreeView_GetSelection(window));
                if (now == from) break;
                from = now;
            }
            break;
        case FormDoing::HotKey: {
            const bool ctrl = (doing.value & 0x4000) != 0;
            const WORD key = static_cast<WORD>(doing.value & 0xFF);
            const bool extended = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE;
            Modifiers(ctrl);
            if (ctrl) SendMessageW(window, WM_KEYDOWN, VK_CONTROL, 1);
            Key(window, key, extended);
            if (ctrl) SendMessageW(window, WM_KEYUP, VK_CONTROL, static_cast<LPARAM>(0xC0000001u));
            Modifiers(false);
            break;
        }
        }
        Pump();
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Win32FormStage* stage = current_;
        HWND dialog = stage ? FindWindowW(L"#32770", ui::WideText(stage->form_->caption).c_str()) : nullptr;
        if (!stage || stage->played_ || !dialog) return;
        stage->played_ = true;
        for (const FormDoing& doing : *stage->doings_) stage->Do(dialog, doing);
        SendMessageW(GetDlgItem(dialog, ui::mrOk), BM_CLICK, 0, 0);
    }

    static inline Win32FormStage* current_ = nullptr;
    ui::FormSpec* form_ = nullptr;
    const std::vector<FormDoing>* doings_ = nullptr;
    bool played_ = false;
};

}  // namespace kp::test
