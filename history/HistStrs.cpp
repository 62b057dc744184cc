#include "history/HistStrs.h"

#include <algorithm>

namespace kp::history {

int THistoryList::IndexOf(std::string_view name) const
{
    for (size_t i = 0; i < names_.size(); ++i)
        if (compare_.EqualIgnoreCase(names_[i], name)) return static_cast<int>(i);
    return -1;
}

int THistoryList::Add(const std::string& name)
{
    const int found = IndexOf(name);
    if (found >= 0) {
        std::rotate(names_.begin(), names_.begin() + found, names_.begin() + found + 1);
        return 0;
    }
    names_.insert(names_.begin(), name);
    if (names_.size() > static_cast<size_t>(kMaxHistory)) names_.resize(kMaxHistory);
    return 0;
}

}  // namespace kp::history
