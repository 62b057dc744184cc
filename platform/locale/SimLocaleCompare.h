#pragma once
// Letter case folded one UTF-16 unit at a time: ASCII, full-width Latin,
// Latin-1, Latin Extended-A, Greek and Cyrillic letters, as the platform folds
// them (measured under Wine 8, Japanese locale). The platform's comparison is
// linguistic and equates more than this (ß and ss, æ and ae, a composed letter
// and its decomposed form, ignorable characters such as the soft hyphen); the
// simulation keeps to plain case pairs.

#include "platform/locale/LocaleCompare.h"

namespace kp::platform {

class SimLocaleCompare final : public LocaleCompare {
public:
    bool EqualIgnoreCase(std::string_view a, std::string_view b) const override;
    // Letters by their folded code units, then each unit's case (lower,
    // or caseless, before upper), then length: a text sorts before its
    // extensions. The platform's order is linguistic (it weighs symbols,
    // kana and width its own way); the simulation keeps to code units.
    int Compare(std::string_view a, std::string_view b) const override;
    std::string SortKey(std::string_view text) const override;
};

}  // namespace kp::platform
