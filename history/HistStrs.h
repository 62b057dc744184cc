#pragma once
// The recent-files list: file names (UTF-8), most recent first, at most
// kMaxHistory of them. Names are told apart by the locale's comparison
// without regard to letter case; an entry keeps the letter case it was first
// added with.

#include "platform/locale/LocaleCompare.h"

#include <string>
#include <vector>

namespace kp::history {

constexpr int kMaxHistory = 32;

class THistoryList {
public:
    explicit THistoryList(const platform::LocaleCompare& compare) : compare_(compare) {}

    // Puts name at the front. A name already listed (the first match in list
    // order) moves there as stored, in its stored letter case; a new one is
    // inserted and the oldest entries beyond kMaxHistory drop off. Returns
    // the index of the name, always 0.
    int Add(const std::string& name);
    // The index of the first entry equal to name, or -1.
    int IndexOf(std::string_view name) const;
    void Clear() { names_.clear(); }

    int Count() const { return static_cast<int>(names_.size()); }
    const std::string& operator[](int index) const { return names_[static_cast<size_t>(index)]; }
    const std::vector<std::string>& Names() const { return names_; }

private:
    const platform::LocaleCompare& compare_;
    std::vector<std::string> names_;
};

}  // namespace kp::history
