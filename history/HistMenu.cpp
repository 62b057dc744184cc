#include "history/HistMenu.h"

#include "base/Error.h"
#include "settings/RegIniFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace kp::history {

namespace {

constexpr std::string_view kNoTarget = "ターゲットが指定されていません";
constexpr std::string_view kCountIdent = "Count";
constexpr std::string_view kMissingEntry = "BUG";

// Appended rather than "H" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that form.
std::string EntryIdent(int index)
{
    std::string ident = "H";
    ident += std::to_string(index);
    return ident;
}

int DecimalDigits(int value)
{
    int digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

// "&" marks the access key in a caption; a name's own ampersands are doubled
// so that they show as they are.
std::string EscapeAmpersands(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

std::string UnescapeAmpersands(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
    }
    return out;
}

}  // namespace

// Adding H(count-1) .. H0 one after another leaves the 32 distinct names
// that occur lowest, in that order, so membership is settled once 32 distinct
// names have been read from H0 up. The letter case of a kept name X is the
// case of the copy added while X was absent, which may lie higher: a copy
// further up survives down to X's next copy unless 32 other names come in
// between. So reading stops at L once, for every kept name, 32 other distinct
// names occur between its last copy below L and L: `recent` is the list of
// names by last occurrence, most recent first, cut at 32, and the condition
// is that no kept name is in it. Stores this component writes hold at most
// 32 entries; other stores are read up to kLoadLimit entries at most.
std::vector<std::string> ReadDecidingEntries(int count, const std::function<std::string(int)>& read,
                                             const platform::LocaleCompare& compare)
{
    struct Recent {
        std::string name;
        bool kept;
    };
    std::vector<std::string> entries;
    std::vector<std::string> kept;
    std::vector<Recent> recent;
    const auto equal = [&](std::string_view a, std::string_view b) { return compare.EqualIgnoreCase(a, b); };

    const int limit = std::min(count, kLoadLimit);
    for (int i = 0; i < limit; ++i) {
        entries.push_back(read(i));
        const std::string& name = entries.back();

        const auto hit = std::find_if(recent.begin(), recent.end(),
                                      [&](const Recent& r) { return equal(r.name, name); });
        if (hit != recent.end()) {
            std::rotate(recent.begin(), hit, hit + 1);
        } else {
            bool isKept = std::any_of(kept.begin(), kept.end(),
                                      [&](const std::string& k) { return equal(k, name); });
            if (!isKept && kept.size() < static_cast<size_t>(kMaxHistory)) {
                kept.push_back(name);
                isKept = true;
            }
            recent.insert(recent.begin(), Recent{name, isKept});
            if (recent.size() > static_cast<size_t>(kMaxHistory)) recent.pop_back();
        }

        if (kept.size() == static_cast<size_t>(kMaxHistory) &&
            std::none_of(recent.begin(), recent.end(), [](const Recent& r) { return r.kept; }))
            break;
    }
    return entries;
}

THistoryMenu::THistoryMenu(platform::Registry& registry, const platform::LocaleCompare& compare)
    : registry_(registry), compare_(compare), list_(compare), self_(std::make_shared<THistoryMenu*>(this))
{
}

THistoryMenu::~THistoryMenu()
{
    *self_ = nullptr;
    if (active_) Save();
}

TRegIniFile THistoryMenu::Store() const
{
    try {
        return TRegIniFile(registry_, keyName_);
    } catch (const Error&) {
        // Reads from it give their defaults; writes fail and are dropped.
        return TRegIniFile(registry_, keyName_, TRegIniFile::kNoCreate);
    }
}

void THistoryMenu::Load()
{
    list_.Clear();
    const TRegIniFile store = Store();
    int32_t count = 0;
    try {
        count = store.ReadInteger(sectionName_, kCountIdent, 0);
    } catch (const Error&) {
        count = 0;  // a value of another type than text
    }
    const std::vector<std::string> entries = ReadDecidingEntries(
        count,
        [&](int index) {
            try {
                return store.ReadString(sectionName_, EntryIdent(index), kMissingEntry);
            } catch (const Error&) {
                return std::string(kMissingEntry);
            }
        },
        compare_);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) list_.Add(*it);
}

void THistoryMenu::Save() const
{
    TRegIniFile store = Store();
    const auto write = [&](std::string_view ident, const std::string& value) {
        try {
            store.WriteString(sectionName_, ident, value);
        } catch (const Error&) {
            // A store that cannot be written keeps what it had.
        }
    };
    write(kCountIdent, std::to_string(list_.Count()));
    for (int i = 0; i < list_.Count(); ++i) write(EntryIdent(i), list_[i]);
}

void THistoryMenu::RemoveAppended()
{
    // Only items still below the target: whatever else removed one of them
    // has already disposed of it.
    for (auto it = appended_.rbegin(); it != appended_.rend(); ++it)
        if (target_ && target_->IndexOf(*it) < target_->Count()) target_->Remove(*it);
    appended_.clear();
}

void THistoryMenu::Rebuild()
{
    RemoveAppended();
    if (historyNum_ < 1 || list_.Count() == 0) {
        lastIndex_ = -1;
        return;
    }
    lastIndex_ = std::min(list_.Count(), historyNum_) - 1;
    int separator = 0;
    if (separatorWanted_ && target_->Count() > 0) {
        appended_.push_back(target_->AddSeparator());
        separator = 1;
    }
    prefixWidth_ = DecimalDigits(lastIndex_) + 2;
    for (int n = 0; n <= lastIndex_; ++n) {
        std::string accessKey = "&";
        accessKey += std::to_string(n);
        accessKey += ' ';
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%*s", prefixWidth_, accessKey.c_str());
        ui::TMenuItem* item = target_->Add(prefix + EscapeAmpersands(list_[n]));
        item->OnClick = [self = self_, item] {
            if (THistoryMenu* menu = *self) menu->Choose(*item);
        };
        appended_.push_back(item);
    }
    lastIndex_ += separator;
}

void THistoryMenu::Choose(const ui::TMenuItem& item)
{
    if (!OnHistorySelected) return;
    // Taken before anything runs: the handler may rebuild the menu and
    // delete the item, or even this component.
    const std::string name =
        UnescapeAmpersands(std::string_view(item.Caption()).substr(
            std::min(item.Caption().size(), static_cast<size_t>(prefixWidth_))));
    const std::shared_ptr<THistoryMenu*> self = self_;
    const auto handler = OnHistorySelected;
    handler(name);
    if (*self) AddFile(name);
}

void THistoryMenu::AddFile(const std::string& name)
{
    if (name.empty()) return;
    list_.Add(name);
    if (active_) Rebuild();
}

void THistoryMenu::SetActive(bool active)
{
    if (active == active_) return;
    active_ = active;
    if (active) {
        lastIndex_ = -1;
        Load();
        if (!target_) {
            active_ = false;
            throw Error(std::string(kNoTarget));
        }
        Rebuild();
    } else {
        Save();
        RemoveAppended();
        lastIndex_ = -1;
    }
}

void THistoryMenu::SetHistoryNum(int count)
{
    if (count == historyNum_) return;
    historyNum_ = std::min(count, kMaxHistory);
    if (active_) Rebuild();
}

void THistoryMenu::SetTargetMenuItem(ui::TMenuItem* target)
{
    if (target == target_) return;
    if (!target) {
        // The old target may be on its way out: its items are left to it.
        appended_.clear();
        target_ = nullptr;
        SetActive(false);
        return;
    }
    if (active_) RemoveAppended();
    target_ = target;
    separatorWanted_ = target->Parent() && target->Parent()->Caption().empty();
    if (active_) Rebuild();
}

}  // namespace kp::history
