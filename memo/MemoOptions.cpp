#include "memo/MemoOptions.h"

#include "memo/ExtMemo.h"
#include "memo/edit/RichEditMessages.h"

namespace kp::memo {

// ---- Edit area -------------------------------------------------------------------

TEditMargin& TEditMargin::operator=(const TEditMargin& other)
{
    left_ = other.left_;
    top_ = other.top_;
    bottom_ = other.bottom_;
    if (area_) area_->Apply();
    return *this;
}

void TEditMargin::Set(int& field, int value)
{
    if (value == field || value < 0) return;
    field = value;
    if (area_) area_->Apply();
}

TEditArea::TEditArea(const TEditArea& other)
    : memo_(nullptr), enabled_(other.enabled_), margin_(other.margin_), overFlow_(other.overFlow_), width_(other.width_)
{
    margin_.area_ = this;
}

TEditArea& TEditArea::operator=(const TEditArea& other)
{
    // The switch stays; margins and widths are copied, then applied once.
    margin_.left_ = other.margin_.left_;
    margin_.top_ = other.margin_.top_;
    margin_.bottom_ = other.margin_.bottom_;
    width_ = other.width_;
    overFlow_ = other.overFlow_;
    Apply();
    return *this;
}

void TEditArea::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    if (enabled_) Apply();
}

void TEditArea::SetWidth(int value)
{
    if (value == width_ || value < 0) return;
    width_ = value;
    Apply();
}

void TEditArea::SetOverFlow(int value)
{
    if (value == overFlow_ || value < 0) return;
    overFlow_ = value;
    Apply();
}

void TEditArea::Apply()
{
    if (memo_) memo_->ApplyEditArea();
}

// ---- IME colours -----------------------------------------------------------------

TImeColor& TImeColor::operator=(const TImeColor& other)
{
    text_ = other.text_;
    background_ = other.background_;
    style_ = other.style_;
    Changed();
    return *this;
}

void TImeColor::SetIcText(TColor value)
{
    if (value == text_) return;
    text_ = value;
    Changed();
}

void TImeColor::SetIcBackground(TColor value)
{
    if (value == background_) return;
    background_ = value;
    Changed();
}

void TImeColor::SetStyle(TFontStyles value)
{
    if (value == style_) return;
    style_ = value;
    Changed();
}

void TImeColor::Changed()
{
    if (owner_) owner_->Send();
}

TImeColors::TImeColors(TExtMemo* memo) : memo_(memo)
{
    for (size_t i = 0; i < 4; ++i) States(i)->owner_ = this;
}

TImeColors::TImeColors(const TImeColors& other)
    : Untransfered(other.Untransfered),
      WatchingTransfered(other.WatchingTransfered),
      Transfered(other.Transfered),
      WatchingUntransfered(other.WatchingUntransfered),
      memo_(nullptr)
{
    for (size_t i = 0; i < 4; ++i) States(i)->owner_ = this;
}

TImeColors& TImeColors::operator=(const TImeColors& other)
{
    for (size_t i = 0; i < 4; ++i) {
        const TImeColor& from = *const_cast<TImeColors&>(other).States(i);
        TImeColor& to = *States(i);
        to.text_ = from.text_;
        to.background_ = from.background_;
        to.style_ = from.style_;
    }
    Send();
    return *this;
}

TImeColor* TImeColors::States(size_t index)
{
    TImeColor* states[] = {&Untransfered, &WatchingTransfered, &Transfered, &WatchingUntransfered};
    return index < 4 ? states[index] : nullptr;
}

void TImeColors::SetState(TImeColor& state, const TImeColor& c)
{
    if (!(state == c)) state = c;
}

bool TImeColors::SameColors(const TImeColors& other) const
{
    return Untransfered == other.Untransfered && WatchingTransfered == other.WatchingTransfered &&
           Transfered == other.Transfered && WatchingUntransfered == other.WatchingUntransfered;
}

void TImeColors::Send()
{
    if (memo_) memo_->SendImeColors();
}

// ---- Line breaking ---------------------------------------------------------------

namespace {

constexpr uint32_t kRuleBits = re::kWbfLevel1 | re::kWbfLevel2 | re::kWbfCustom;
constexpr uint32_t kFlagBits = re::kWbfWordWrap | re::kWbfWordBreak | re::kWbfOverflow;

}  // namespace

TWordWrapOption::TWordWrapOption(const TWordWrapOption& other)
    : custom(other.custom), level1(other.level1), level2(other.level2), modeWord(other.modeWord), memo_(nullptr)
{
}

TWordWrapOption& TWordWrapOption::operator=(const TWordWrapOption& other)
{
    custom = other.custom;
    level1 = other.level1;
    level2 = other.level2;
    modeWord = other.modeWord;
    if (memo_) memo_->SendWordWrapOption();
    return *this;
}

intptr_t TWordWrapOption::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) const
{
    return memo_ ? memo_->Perform(message, wParam, lParam) : 0;
}

TPunctuationMode TWordWrapOption::PunctuationMode() const
{
    if ((modeWord & (re::kWbfLevel1 | re::kWbfLevel2)) == re::kWbfLevel1) return wbfLevel1;
    if ((modeWord & kRuleBits) == re::kWbfCustom) return wbfCustom;
    return wbfLevel2;
}

void TWordWrapOption::SetPunctuationMode(TPunctuationMode mode)
{
    const uint32_t bits = mode == wbfCustom ? re::kWbfCustom : mode == wbfLevel1 ? re::kWbfLevel1 : re::kWbfLevel2;
    if (bits == (modeWord & kRuleBits)) return;
    modeWord = (modeWord & ~kRuleBits) | bits;
    Send(re::kSetWordWrapMode, modeWord, 0);
}

TWordWrapModes TWordWrapOption::WordWrapMode() const
{
    TWordWrapModes modes = 0;
    if (modeWord & re::kWbfWordWrap) modes |= wbfWordWrap;
    if (modeWord & re::kWbfWordBreak) modes |= wbfWordBreak;
    if (modeWord & re::kWbfOverflow) modes |= wbfOverFlow;
    return modes;
}

void TWordWrapOption::SetWordWrapMode(TWordWrapModes modes)
{
    uint32_t bits = 0;
    if (modes & wbfWordWrap) bits |= re::kWbfWordWrap;
    if (modes & wbfWordBreak) bits |= re::kWbfWordBreak;
    if (modes & wbfOverFlow) bits |= re::kWbfOverflow;
    if (bits == (modeWord & kFlagBits)) return;
    if (modeWord == 0) modeWord = re::kWbfCustom;
    modeWord = (modeWord & ~kFlagBits) | bits;
    Send(re::kSetWordWrapMode, modeWord, 0);
}

std::string TWordWrapOption::Punctuation(uint32_t type) const
{
    if (type < 1 || type > 4) return {};
    if (memo_ && memo_->Writing()) return custom[type - 1];
    switch (PunctuationMode()) {
    case wbfLevel1: return level1[type - 1];
    case wbfLevel2: return level2[type - 1];
    case wbfCustom: break;
    }
    return custom[type - 1];
}

void TWordWrapOption::SetPunctuation(uint32_t type, std::string_view value)
{
    if (type < 1 || type > 4) return;
    SetPunctuationMode(wbfCustom);
    if (value == custom[type - 1]) return;
    custom[type - 1] = std::string(value);
    if (memo_) SendCustomSet(type);
}

void TWordWrapOption::SendCustomSet(uint32_t type)
{
    // Without a window there is no control to refuse the set: it stays.
    if (!memo_->HandleAllocated()) return;
    std::string& set = custom[type - 1];
    re::Punctuation punctuation{static_cast<uint32_t>(set.size() + 1), set.data()};
    if (Send(re::kSetPunctuation, type, reinterpret_cast<intptr_t>(&punctuation)) == 0) set.clear();
}

}  // namespace kp::memo
