#include "memo/MemoOptions.h"

#include "memo/ExtMemo.h"

namespace kp::memo {

TEditArea::TEditArea(const TEditArea& other)
    : Enabled(other.Enabled), Margin(other.Margin), OverFlow(other.OverFlow), Width(other.Width), memo_(nullptr)
{
}

TEditArea& TEditArea::operator=(const TEditArea& other)
{
    // The switch stays; margins and widths are copied.
    Margin = other.Margin;
    Width = other.Width;
    OverFlow = other.OverFlow;
    if (memo_) memo_->ApplyEditArea();
    return *this;
}

TImeColors::TImeColors(const TImeColors& other)
    : Untransfered(other.Untransfered),
      WatchingTransfered(other.WatchingTransfered),
      Transfered(other.Transfered),
      WatchingUntransfered(other.WatchingUntransfered),
      memo_(nullptr)
{
}

TImeColors& TImeColors::operator=(const TImeColors& other)
{
    if (memo_ && SameColors(other)) return *this;
    Untransfered = other.Untransfered;
    WatchingTransfered = other.WatchingTransfered;
    Transfered = other.Transfered;
    WatchingUntransfered = other.WatchingUntransfered;
    if (memo_) memo_->SendImeColors();
    return *this;
}

bool TImeColors::SameColors(const TImeColors& other) const
{
    return Untransfered == other.Untransfered && WatchingTransfered == other.WatchingTransfered &&
           Transfered == other.Transfered && WatchingUntransfered == other.WatchingUntransfered;
}

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

}  // namespace kp::memo
