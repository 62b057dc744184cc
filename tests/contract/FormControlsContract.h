#pragma once
// The editing forms' controls as the user meets them: number boxes with
// arrows, byte-limited text boxes, a tree clicked or moved by the keyboard,
// a hot-key box, an editable list chosen from and typed into, check boxes
// clicked by the user or set by a handler. The same doings are played on the simulation and, under
// Wine, on the platform's dialog, and the forms' state compared after OK.

#include "tests/contract/Contract.h"
#include "ui/Form.h"
#include "ui/sim/SimFormService.h"

#include <memory>
#include <string>
#include <vector>

namespace kp::test {

struct FormDoing {
    enum Kind { Arrow, Type, ClickTree, MoveTree, HotKey, Choose, Click } kind;
    std::string control;
    // Arrow: steps (up above 0); trees: the item; HotKey: the combination;
    // Choose: the list's entry.
    int value = 0;
    std::string text;  // Type
};

class FormStage {
public:
    virtual ~FormStage() = default;
    // Shows the form, plays the doings in order, then presses OK: the form
    // holds the controls' state then.
    virtual void Play(ui::FormSpec& form, const std::vector<FormDoing>& doings) = 0;
};

class SimFormStage final : public FormStage {
public:
    void Play(ui::FormSpec& form, const std::vector<FormDoing>& doings) override
    {
        using ui::SimFormService;
        for (const FormDoing& doing : doings) {
            switch (doing.kind) {
            case FormDoing::Arrow: SimFormService::PressArrow(form, doing.control, doing.value); break;
            case FormDoing::Type: SimFormService::TypeText(form, doing.control, doing.text); break;
            case FormDoing::ClickTree: SimFormService::ClickTreeItem(form, doing.control, doing.value); break;
            case FormDoing::MoveTree: SimFormService::MoveTreeSelection(form, doing.control, doing.value); break;
            case FormDoing::HotKey: SimFormService::PressHotKey(form, doing.control, doing.value); break;
            case FormDoing::Choose: SimFormService::ChooseListItem(form, doing.control, doing.value); break;
            case FormDoing::Click: SimFormService::ClickControl(form, doing.control); break;
            }
        }
    }
};

class FormControlsContract : public ::testing::TestWithParam<Implementation<FormStage>> {
protected:
    void SetUp() override { stage = GetParam().make(); }
    std::unique_ptr<FormStage> stage;
};

}  // namespace kp::test
