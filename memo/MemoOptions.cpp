#include "memo/MemoOptions.h"

namespace kp::memo {

TEditArea& TEditArea::operator=(const TEditArea& other)
{
    // The switch stays; margins and widths are copied.
    Margin = other.Margin;
    Width = other.Width;
    OverFlow = other.OverFlow;
    return *this;
}

TImeColors& TImeColors::operator=(const TImeColors& other)
{
    Untransfered = other.Untransfered;
    WatchingTransfered = other.WatchingTransfered;
    Transfered = other.Transfered;
    WatchingUntransfered = other.WatchingUntransfered;
    return *this;
}

bool TImeColors::SameColors(const TImeColors& other) const
{
    return Untransfered == other.Untransfered && WatchingTransfered == other.WatchingTransfered &&
           Transfered == other.Transfered && WatchingUntransfered == other.WatchingUntransfered;
}

TWordWrapOption& TWordWrapOption::operator=(const TWordWrapOption& other)
{
    custom = other.custom;
    level1 = other.level1;
    level2 = other.level2;
    modeWord = other.modeWord;
    return *this;
}

}  // namespace kp::memo
