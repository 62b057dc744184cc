// The recent-files list as the registry holds it: a Count that is missing,
// negative, huge, not a number or not text, entries H0.. of every registry
// type (or missing), names repeating in any letter case. Loading must give
// what adding every counted entry (up to the load limit) from the last to
// the first gives, with "BUG" for an entry that cannot be read; the menu
// shows the first HistoryNum of them; choosing, saving and loading again keep
// the list.

#include "base/Error.h"
#include "history/HistMenu.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

namespace kp::fuzz {
namespace {

using history::kLoadLimit;
using history::kMaxHistory;
using platform::RegKey;
using platform::RegStatus;
using platform::RegType;

constexpr std::string_view kKeyName = "Software\\Fuzz";
constexpr std::string_view kSection = "Software\\Fuzz\\History";

constexpr std::string_view kNames[] = {"a.txt", "A.TXT", "A.txt", "b", "B", "C:\\d\\e.txt", "c:\\D\\E.TXT",
                                       "ｱ", "Ａ", "ａ", "&x", "x&&y&", "表.txt", "Ω", "ω", "", " ", "BUG", "bug"};
constexpr std::string_view kCounts[] = {"0", "1", "2", "31", "32", "33", "64", "1023", "1024", "1025",
                                        "2147483647", "2147483648", "99999999999", "-1", "-2147483648",
                                        "0x7FFFFFFF", "0xFFFFFFFF", "0x400", "+5", "5 ", "", "ten"};

// The list adding names one after another gives: move-to-front of the first
// equal name, keeping its stored letter case, at most kMaxHistory names.
class ListModel {
public:
    explicit ListModel(const platform::LocaleCompare& compare) : compare_(compare) {}
    void Add(const std::string& name)
    {
        const auto hit = std::find_if(names.begin(), names.end(),
                                      [&](const std::string& n) { return compare_.EqualIgnoreCase(n, name); });
        if (hit != names.end()) {
            std::rotate(names.begin(), hit, hit + 1);
            return;
        }
        names.insert(names.begin(), name);
        if (names.size() > static_cast<size_t>(kMaxHistory)) names.pop_back();
    }
    std::vector<std::string> names;

private:
    const platform::LocaleCompare& compare_;
};

std::string Joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names) out += Escaped(n) + " ";
    return out;
}

std::optional<platform::RegValue> Stored(platform::Registry& registry, const RegKey& key, std::string_view name)
{
    platform::RegValue value;
    if (registry.QueryValue(key, name, value) != RegStatus::Ok) return std::nullopt;
    return value;
}

std::optional<platform::RegValue> Stored(platform::Registry& registry, std::string_view name)
{
    RegKey key;
    if (registry.OpenKey(kSection, platform::RegAccess::Read, key) != RegStatus::Ok) return std::nullopt;
    return Stored(registry, key, name);
}

std::string Escape(const std::string& name)
{
    std::string out;
    for (const char c : name) out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

// Every counted entry read and added from the last to the first.
std::vector<std::string> ExpectedLoad(platform::Registry& registry, const platform::LocaleCompare& compare)
{
    RegKey key;
    KP_CHECK(registry.OpenKey(kSection, platform::RegAccess::Read, key) == RegStatus::Ok, "the section is gone");
    int64_t count = 0;
    if (const std::optional<platform::RegValue> value = Stored(registry, key, "Count");
        value && (value->type == RegType::String || value->type == RegType::ExpandString))
        count = ReferenceInteger(value->data).value_or(0);
    ListModel model(compare);
    for (int64_t i = std::min<int64_t>(count, kLoadLimit) - 1; i >= 0; --i) {
        const std::optional<platform::RegValue> value = Stored(registry, key, "H" + std::to_string(i));
        const bool text = value && (value->type == RegType::String || value->type == RegType::ExpandString);
        model.Add(text ? value->data : "BUG");
    }
    return model.names;
}

void CheckMenu(const history::THistoryMenu& menu, const ui::TMenuItem& target, size_t ownItems)
{
    const std::vector<std::string>& names = menu.List().Names();
    const size_t shown = menu.HistoryNum() < 1 ? 0 : std::min<size_t>(names.size(), menu.HistoryNum());
    const size_t separator = shown > 0 && ownItems > 0 ? 1 : 0;
    KP_CHECK(target.Count() == ownItems + separator + shown,
          "the target has " + std::to_string(target.Count()) + " items for " + std::to_string(shown) + " names");
    if (separator) KP_CHECK(target.Item(ownItems)->Caption() == "-", "no separator before the history");
    const std::string widest = "&" + std::to_string(shown == 0 ? 0 : shown - 1) + " ";
    for (size_t i = 0; i < shown; ++i) {
        const std::string caption = target.Item(ownItems + separator + i)->Caption();
        std::string prefix = "&" + std::to_string(i) + " ";
        prefix.insert(0, widest.size() - prefix.size(), ' ');  // right-aligned to the widest
        KP_CHECK(caption == prefix + Escape(names[i]), "caption " + Escaped(caption) + " for " + Escaped(names[i]));
    }
}

void Run(FuzzInput& in)
{
    platform::SimRegistry simRegistry;
    platform::Registry& registry = simRegistry;
    const platform::SimLocaleCompare compare;
    {
        RegKey key;
        KP_CHECK(registry.CreateKey(kSection, key) == RegStatus::Ok, "the section key could not be made");
        switch (in.Pick(5)) {
        case 0: break;  // no Count
        case 1: registry.SetString(key, "Count", kCounts[in.Pick(std::size(kCounts))]); break;
        case 2: registry.SetString(key, "Count", std::to_string(static_cast<int32_t>(in.U32()))); break;
        case 3: registry.SetRaw(key, "Count", RegType::Dword, std::string("\x05\0\0\0", 4)); break;
        default: registry.SetString(key, "Count", std::to_string(in.Pick(40))); break;
        }
        const size_t entries = in.Pick(48);
        const uint8_t variety = in.Byte();  // few distinct names make long runs of repeats
        std::vector<size_t> indexes;
        for (size_t i = 0; i < entries; ++i) indexes.push_back(i);
        // A few far up, around the load limit (entries between read as missing).
        static constexpr size_t kFar[] = {100, 1022, 1023, 1024, 1025, 4096};
        for (size_t n = in.Pick(4) == 0 ? in.Pick(5) : 0; n > 0; --n) indexes.push_back(kFar[in.Pick(std::size(kFar))]);
        for (const size_t i : indexes) {
            const std::string ident = "H" + std::to_string(i);
            // Numbered names make more than kMaxHistory distinct ones.
            const std::string name =
                in.Empty() ? std::string(kNames[i % (1 + variety % std::size(kNames))])
                           : std::string(kNames[in.Pick(std::size(kNames))]) + (in.Flag() ? std::to_string(in.Pick(40)) : "");
            switch (in.Empty() ? 0 : in.Pick(12)) {
            case 1: break;  // missing
            case 2: registry.SetString(key, ident, name, RegType::ExpandString); break;
            case 3: registry.SetRaw(key, ident, RegType::Binary, name); break;
            case 4: registry.SetRaw(key, ident, RegType::Dword, std::string(4, 'x')); break;
            case 5: registry.SetRaw(key, ident, RegType::MultiString, name + std::string(2, '\0')); break;
            case 6: registry.SetRaw(key, ident, RegType::None, ""); break;
            default: registry.SetString(key, ident, name); break;
            }
        }
    }
    const std::vector<std::string> expected = ExpectedLoad(registry, compare);

    ui::TMenuItem root;
    ui::TMenuItem* file = root.Add("File");
    const size_t ownItems = in.Pick(3);
    for (size_t i = 0; i < ownItems; ++i) file->Add("Own" + std::to_string(i));
    std::string chosen;
    ListModel model(compare);
    {
        history::THistoryMenu menu(registry, compare);
        menu.SetKeyName(std::string(kKeyName));
        menu.SetHistoryNum(static_cast<int>(in.Pick(40)) - 4);
        menu.OnHistorySelected = [&](const std::string& name) { chosen = name; };
        menu.SetTargetMenuItem(file);
        menu.SetActive(true);
        KP_CHECK(menu.List().Names() == expected,
              "loaded " + Joined(menu.List().Names()) + "\nexpected " + Joined(expected));
        CheckMenu(menu, *file, ownItems);

        model.names = expected;
        std::string action;
        for (size_t n = in.Pick(4); n > 0; --n) {
            const size_t appended = file->Count() - ownItems;
            const size_t separator = appended > 0 && ownItems > 0 ? 1 : 0;
            if (in.Flag() && appended > separator) {
                const size_t index = in.Pick(appended - separator);
                const size_t pick = ownItems + separator + index;
                const std::string name = model.names[index];
                file->Item(pick)->Click();
                KP_CHECK(chosen == name, "choosing " + Escaped(name) + " raised " + Escaped(chosen));
                if (!name.empty()) model.Add(name);  // choosing adds the name as AddFile does
                action = "choosing " + Escaped(name);
            } else {
                const std::string name(kNames[in.Pick(std::size(kNames))]);
                menu.AddFile(name);
                if (!name.empty()) model.Add(name);
                action = "adding " + Escaped(name);
            }
            KP_CHECK(menu.List().Names() == model.names, "the list after " + action + ": " +
                                                             Joined(menu.List().Names()) + "\nexpected " + Joined(model.names));
            CheckMenu(menu, *file, ownItems);
        }
    }  // destroying the active menu saves the list

    const std::vector<std::string> saved = ExpectedLoad(registry, compare);
    KP_CHECK(saved == model.names, "saved " + Joined(saved) + "\nwhere the list was " + Joined(model.names));
    history::THistoryMenu again(registry, compare);
    again.SetKeyName(std::string(kKeyName));
    again.SetTargetMenuItem(file);
    again.SetActive(true);
    KP_CHECK(again.List().Names() == saved, "a saved list loads differently");
    const std::optional<platform::RegValue> count = Stored(registry, "Count");
    KP_CHECK(count && count->data == std::to_string(saved.size()), "Count is not the saved list's length");

    // The deciding entries alone, with any count and names by a rule.
    const int32_t count32 = in.Pick(8) == 0 ? static_cast<int32_t>(in.U32()) : static_cast<int32_t>(in.Pick(300)) - 50;
    const size_t period = 1 + in.Pick(70);
    // Names repeat with the period, in a letter case that changes every
    // `flip` entries: which copy's case survives depends on what lies higher.
    const size_t flip = 1 + in.Pick(80);
    const auto read = [&](int i) {
        const auto n = static_cast<size_t>(i);
        return std::string((n / flip) % 2 ? "F" : "f") + std::to_string(n % period);
    };
    const std::vector<std::string> deciding = history::ReadDecidingEntries(count32, read, compare);
    KP_CHECK(deciding.size() <= static_cast<size_t>(std::max(0, std::min(count32, kLoadLimit))), "read past the count");
    ListModel full(compare), partial(compare);
    for (int i = std::min(count32, kLoadLimit) - 1; i >= 0; --i) full.Add(read(i));
    for (auto it = deciding.rbegin(); it != deciding.rend(); ++it) partial.Add(*it);
    KP_CHECK(full.names == partial.names, "the deciding entries of " + std::to_string(count32) + " with period " +
                                           std::to_string(period) + " give " + Joined(partial.names));
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
