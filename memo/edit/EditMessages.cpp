// The rich-edit and edit messages the control answers, decoded into its
// operations: wParam and lParam carry numbers or point to the structures of
// RichEditMessages.h.

#include "memo/edit/EditControl.h"

#include "base/Cp932.h"

#include <algorithm>
#include <cstring>

namespace kp::memo {

intptr_t EditControl::Message(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    auto clampOffset = [&](int64_t value) {
        return static_cast<int64_t>(std::min<uint64_t>(static_cast<uint64_t>(std::max<int64_t>(value, 0)),
                                                       text_.Length()));
    };
    switch (message) {
    case re::kGetSel: {
        const auto start = static_cast<uint32_t>(SelStart());
        const auto end = static_cast<uint32_t>(SelEnd());
        if (wParam) *reinterpret_cast<uint32_t*>(wParam) = start;
        if (lParam) *reinterpret_cast<uint32_t*>(lParam) = end;
        return static_cast<intptr_t>(std::min<uint32_t>(start, 0xFFFF) | (std::min<uint32_t>(end, 0xFFFF) << 16));
    }
    case re::kSetSel:
        SetSel(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        return 0;
    case re::kExGetSel: {
        auto* range = reinterpret_cast<re::CharRange*>(lParam);
        if (range) *range = re::CharRange{static_cast<int32_t>(SelStart()), static_cast<int32_t>(SelEnd())};
        return 0;
    }
    case re::kExSetSel: {
        const auto* range = reinterpret_cast<const re::CharRange*>(lParam);
        if (range) SetSel(range->cpMin, range->cpMax);
        return static_cast<intptr_t>(SelEnd());
    }
    case re::kGetSelText: {
        auto* buffer = reinterpret_cast<char*>(lParam);
        const std::string selected = SelText();
        if (buffer) {
            std::memcpy(buffer, selected.data(), selected.size());
            buffer[selected.size()] = '\0';
        }
        return static_cast<intptr_t>(selected.size());
    }
    case re::kReplaceSel:
        ReplaceSel(lParam ? std::string_view(reinterpret_cast<const char*>(lParam)) : std::string_view(),
                   wParam != 0);
        return 0;
    case re::kGetTextRange: {
        auto* range = reinterpret_cast<re::TextRange*>(lParam);
        if (!range || !range->lpstrText) return 0;
        const int64_t from = clampOffset(range->chrg.cpMin);
        const int64_t to = range->chrg.cpMax < 0 ? static_cast<int64_t>(text_.Length()) : clampOffset(range->chrg.cpMax);
        const std::string bytes = to > from ? text_.Read(static_cast<size_t>(from), static_cast<size_t>(to - from)) : "";
        std::memcpy(range->lpstrText, bytes.data(), bytes.size());
        range->lpstrText[bytes.size()] = '\0';
        return static_cast<intptr_t>(bytes.size());
    }
    case re::kGetModify:
        return modified_ ? 1 : 0;
    case re::kSetModify:
        modified_ = wParam != 0;
        return 0;
    case re::kCanUndo:
        return CanUndo() ? 1 : 0;
    case re::kUndo:
        return Undo() ? 1 : 0;
    case re::kEmptyUndoBuffer:
        EmptyUndoBuffer();
        return 0;
    case re::kGetLineCount:
        return static_cast<intptr_t>(LineCount());
    case re::kLineIndex:
        return static_cast<intptr_t>(LineIndex(static_cast<int32_t>(wParam)));
    case re::kLineLength:
        return static_cast<intptr_t>(LineLength(static_cast<size_t>(clampOffset(static_cast<int32_t>(wParam)))));
    case re::kLineFromChar:
    case re::kExLineFromChar: {
        const auto offset = static_cast<int32_t>(message == re::kExLineFromChar ? lParam : static_cast<intptr_t>(wParam));
        return static_cast<intptr_t>(LineFromChar(offset < 0 ? SelStart() : static_cast<size_t>(clampOffset(offset))));
    }
    case re::kGetFirstVisibleLine:
        return static_cast<intptr_t>(firstLine_);
    case re::kScrollCaret:
        ScrollCaretIntoView();
        return 0;
    case re::kGetRect: {
        auto* rect = reinterpret_cast<re::Rect*>(lParam);
        if (rect) *rect = FormatRect();
        return 0;
    }
    case re::kSetRect:
    case re::kSetRectNp: {
        const auto* rect = reinterpret_cast<const re::Rect*>(lParam);
        SetFormatRect(rect ? *rect : re::Rect{0, 0, 0, 0});
        return 0;
    }
    case re::kPosFromChar: {
        auto* point = reinterpret_cast<re::PointL*>(wParam);
        if (point) *point = PosFromChar(static_cast<size_t>(clampOffset(static_cast<int32_t>(lParam))));
        return 0;
    }
    case re::kCharFromPos: {
        const auto* point = reinterpret_cast<const re::PointL*>(lParam);
        return point ? static_cast<intptr_t>(CharFromPos(*point)) : 0;
    }
    case re::kFindText: {
        const auto* find = reinterpret_cast<const re::FindText*>(lParam);
        if (!find || !find->lpstrText) return -1;
        return static_cast<intptr_t>(
            FindText(find->chrg.cpMin, find->chrg.cpMax, find->lpstrText, static_cast<uint32_t>(wParam)));
    }
    case re::kGetEventMask:
        return static_cast<intptr_t>(eventMask_);
    case re::kSetEventMask:
        return static_cast<intptr_t>(SetEventMask(static_cast<uint32_t>(lParam)));
    case re::kGetOptions:
        return static_cast<intptr_t>(options_);
    case re::kSetOptions:
        return static_cast<intptr_t>(SetOptions(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam)));
    case re::kSetBkgndColor:
        return static_cast<intptr_t>(SetBackgroundColor(wParam != 0, static_cast<uint32_t>(lParam)));
    case re::kSetReadOnly:
        SetOptions(wParam ? re::kEcoopOr : re::kEcoopAnd, wParam ? re::kEcoReadOnly : ~re::kEcoReadOnly);
        return 1;
    case re::kGetWordWrapMode:
        return static_cast<intptr_t>(wordWrapMode_);
    case re::kSetWordWrapMode:
        return static_cast<intptr_t>(SetWordWrapMode(static_cast<uint32_t>(wParam)));
    case re::kGetPunctuation: {
        auto* punctuation = reinterpret_cast<re::Punctuation*>(lParam);
        if (!punctuation || !punctuation->szPunctuation || punctuation->iSize == 0) return 0;
        if (wParam < 1 || wParam > 4) return 0;
        const std::string set = Punctuation(static_cast<uint32_t>(wParam));
        // Cut a set that does not fit at a character boundary.
        size_t n = 0;
        while (n < set.size()) {
            const size_t length = cp932::CharLength(set, n);
            if (n + length > punctuation->iSize - 1) break;
            n += length;
        }
        std::memcpy(punctuation->szPunctuation, set.data(), n);
        punctuation->szPunctuation[n] = '\0';
        return 1;
    }
    case re::kSetPunctuation: {
        const auto* punctuation = reinterpret_cast<const re::Punctuation*>(lParam);
        if (!punctuation || !punctuation->szPunctuation || punctuation->iSize == 0) return 0;
        const std::string_view set(punctuation->szPunctuation,
                                   strnlen(punctuation->szPunctuation, punctuation->iSize));
        return SetPunctuation(static_cast<uint32_t>(wParam), set) ? 1 : 0;
    }
    case re::kGetImeColor: {
        auto* colors = reinterpret_cast<re::CompColor*>(lParam);
        if (!colors) return 0;
        std::copy(imeColors_.begin(), imeColors_.end(), colors);
        return 1;
    }
    case re::kSetImeColor: {
        const auto* colors = reinterpret_cast<const re::CompColor*>(lParam);
        if (!colors) return 0;
        std::copy(colors, colors + re::kImeColorCount, imeColors_.begin());
        if (listener_) listener_->Invalidate();
        return 1;
    }
    default:
        return 0;
    }
}

}  // namespace kp::memo
