#pragma once
// An in-memory DLGTEMPLATEEX with its items, for dialogs built without a
// resource. Item rectangles are left empty: each dialog places its controls
// in pixels in WM_INITDIALOG.

#include <windows.h>

#include <string_view>
#include <vector>

namespace kp::ui {

class DialogTemplate {
public:
    // The dialog's font: a face in points, in the Shift-JIS character set.
    DialogTemplate(std::wstring_view caption, DWORD style, WORD itemCount, std::wstring_view fontFace, WORD points,
                   bool bold = false, bool italic = false)
    {
        Word(1);       // dlgVer
        Word(0xFFFF);  // signature
        DWord(0);      // helpID
        DWord(0);      // exStyle
        DWord(style);
        Word(itemCount);
        Rect();
        Word(0);  // no menu
        Word(0);  // the dialog class
        String(caption);
        Word(points);
        Word(static_cast<WORD>(bold ? FW_BOLD : FW_NORMAL));
        Word(static_cast<WORD>((SHIFTJIS_CHARSET << 8) | (italic ? 1 : 0)));
        String(fontFace);
    }

    // A child of a predefined class (0x0080 button, 0x0082 static, ...).
    void Item(WORD windowClass, DWORD id, DWORD style, std::wstring_view title)
    {
        if (words_.size() % 2) Word(0);  // items start on a DWORD boundary
        DWord(0);                        // helpID
        DWord(0);                        // exStyle
        DWord(style | WS_CHILD | WS_VISIBLE);
        Rect();
        DWord(id);
        Word(0xFFFF);
        Word(windowClass);
        String(title);
        Word(0);  // no creation data
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void DWord(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Rect()
    {
        for (int i = 0; i < 4; ++i) Word(0);
    }
    void String(std::wstring_view s)
    {
        for (const wchar_t c : s) Word(static_cast<WORD>(c));
        Word(0);
    }

    std::vector<WORD> words_;
};

}  // namespace kp::ui
