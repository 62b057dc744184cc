// The editing forms' controls contract: each row plays a few doings on a
// small form and checks one control's state and the events raised.

#include "tests/contract/FormControlsContract.h"

namespace kp::test {
namespace {

using ui::FormControl;
using ui::FormControlKind;
using ui::FormSpec;

// Code-page-932 bytes of the texts used here: ASCII and half-width
// katakana take one, the rest two.
size_t Bytes(std::string_view utf8)
{
    size_t bytes = 0;
    for (size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const size_t width = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        // U+FF40..FF9F: half-width katakana, near enough for these texts.
        const bool halfWidth = width == 3 && (utf8.substr(at, 2) == "\xEF\xBD" || utf8.substr(at, 2) == "\xEF\xBE");
        bytes += width == 1 || halfWidth ? 1 : 2;
        at += width;
    }
    return bytes;
}

FormSpec SmallForm(std::vector<std::string>& events)
{
    FormSpec form;
    form.name = "TContractForm";
    form.caption = "controls";
    form.clientWidth = 300;
    form.clientHeight = 200;
    const auto add = [&form](FormControlKind kind, std::string name, int left, int top, int width, int height) {
        FormControl control;
        control.kind = kind;
        control.name = std::move(name);
        control.left = left, control.top = top, control.width = width, control.height = height;
        form.controls.push_back(std::move(control));
        return &form.controls.back();
    };
    FormControl* number = add(FormControlKind::Edit, "Number", 8, 8, 60, 22);
    number->text = "6", number->maximum = 30, number->position = 6;
    add(FormControlKind::Edit, "Bytes", 8, 40, 120, 22)->fits = [](std::string_view text) { return Bytes(text) <= 6; };
    FormControl* tree = add(FormControlKind::Tree, "Tree", 140, 8, 150, 120);
    tree->items = {"first", "second", "third", "fourth"};
    tree->levels = {0, 1, 1, 0};
    tree->selected = 0;
    add(FormControlKind::HotKey, "Key", 8, 72, 120, 22);
    FormControl* list = add(FormControlKind::ComboBox, "List", 8, 104, 120, 120);
    list->items = {"yyyy/mm/dd", "yy/mm/dd", "hh:nn:ss"};
    add(FormControlKind::CheckBox, "Check", 8, 136, 120, 20)->text = "チェック(&K)";
    add(FormControlKind::Button, "Flip", 140, 136, 60, 25)->text = "反転(&F)";
    FormControl* ok = add(FormControlKind::Button, "OKBtn", 210, 168, 80, 25);
    ok->text = "&OK", ok->result = ui::mrOk, ok->isDefault = true;
    // "Flip" sets the check box from code; every event is recorded.
    form.OnEvent = [&events](FormSpec& shown, const std::string& control) {
        events.push_back(control);
        if (control == "Flip") shown.Find("Check")->checked = !shown.Find("Check")->checked;
    };
    return form;
}

constexpr int kCtrl = 0x4000;  // scCtrl
constexpr int kLeft = 0x25, kF3 = 0x72, kSpace = 0x20;

FormDoing Arrow(std::string box, int steps) { return {FormDoing::Arrow, std::move(box), steps, {}}; }
FormDoing Type(std::string box, std::string text) { return {FormDoing::Type, std::move(box), 0, std::move(text)}; }
FormDoing Click(std::string tree, int item) { return {FormDoing::ClickTree, std::move(tree), item, {}}; }
FormDoing Move(std::string tree, int item) { return {FormDoing::MoveTree, std::move(tree), item, {}}; }
FormDoing Press(std::string box, int combination) { return {FormDoing::HotKey, std::move(box), combination, {}}; }
FormDoing Choose(std::string list, int entry) { return {FormDoing::Choose, std::move(list), entry, {}}; }
FormDoing ClickOn(std::string control) { return {FormDoing::Click, std::move(control), 0, {}}; }

struct Row {
    const char* story;
    std::vector<FormDoing> doings;
    const char* control;
    std::string text;  // edits and lists
    // trees and lists: the selection; hot-key boxes: the combination; check
    // boxes: 1 checked
    int value;
    std::vector<std::string> events;
};

TEST_P(FormControlsContract, ControlsTakeWhatTheUserDoes)
{
    const Row rows[] = {
        {"an arrow steps from the number shown", {Arrow("Number", 1)}, "Number", "7", 0, {}},
        {"arrows stop at the range's end", {Arrow("Number", 26)}, "Number", "30", 0, {}},
        {"typed text beyond the range stays", {Type("Number", "0")}, "Number", "60", 0, {}},
        {"arrows go on from the last position after text beyond the range",
         {Type("Number", "0"), Arrow("Number", -1)}, "Number", "5", 0, {}},
        {"typing stops at the byte limit inside no character",
         {Type("Bytes", "ab"), Type("Bytes", "あいう")}, "Bytes", "abあい", 0, {}},
        {"half-width katakana take one byte each", {Type("Bytes", "ｱｲｳｴｵｶｷ")}, "Bytes", "ｱｲｳｴｵｶ", 0,
         {}},
        {"a click selects and raises the event", {Click("Tree", 2)}, "Tree", "", 2, {"Tree"}},
        {"the keyboard selects and raises nothing", {Move("Tree", 3)}, "Tree", "", 3, {}},
        {"a combination with Ctrl on a cursor key", {Press("Key", kCtrl | kLeft)}, "Key", "",
         kCtrl | kLeft, {}},
        {"a key alone", {Press("Key", kF3)}, "Key", "", kF3, {}},
        {"Space clears the box", {Press("Key", kF3), Press("Key", kSpace)}, "Key", "", 0,
         {}},
        // An editable list: a choice raises one event, with the entry's
        // text and position (the text its box takes raises nothing more);
        // typing raises it for each character and leaves the selection at
        // the last choice, whatever the platform's list shows meanwhile.
        {"choosing an entry raises one event", {Choose("List", 1)}, "List", "yy/mm/dd", 1, {"List"}},
        {"typing after a choice keeps the chosen position", {Choose("List", 2), Type("List", "x")}, "List",
         "hh:nn:ssx", 2, {"List", "List"}},
        {"typing with nothing chosen", {Type("List", "yy")}, "List", "yy", -1, {"List", "List"}},
        // Check boxes: the user's click raises the event; a handler setting
        // the box raises none (whoever sets it calls its handler).
        {"a click checks a box and raises its event", {ClickOn("Check")}, "Check", "", 1, {"Check"}},
        {"a second click clears it", {ClickOn("Check"), ClickOn("Check")}, "Check", "", 0, {"Check", "Check"}},
        {"a box set by a handler raises no click", {ClickOn("Flip")}, "Check", "", 1, {"Flip"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.story);
        std::vector<std::string> events;
        FormSpec form = SmallForm(events);
        stage->Play(form, row.doings);
        const FormControl& control = *form.Find(row.control);
        switch (control.kind) {
        case FormControlKind::Edit: EXPECT_EQ(control.text, row.text); break;
        case FormControlKind::ComboBox:
            EXPECT_EQ(control.text, row.text);
            EXPECT_EQ(control.selected, row.value);
            break;
        case FormControlKind::CheckBox: EXPECT_EQ(control.checked, row.value != 0); break;
        case FormControlKind::Tree: EXPECT_EQ(control.selected, row.value); break;
        default: EXPECT_EQ(control.shortCut, row.value); break;
        }
        EXPECT_EQ(events, row.events);
    }
}

}  // namespace
}  // namespace kp::test
