#include "ui/Bars.h"

namespace kp::ui {

void TToolBar::AddButton(std::string name, std::string hint, int imageIndex, std::function<void()> onClick)
{
    TToolButton button;
    button.name = std::move(name);
    button.hint = std::move(hint);
    button.imageIndex = imageIndex;
    button.OnClick = std::move(onClick);
    buttons_.push_back(std::move(button));
    Changed();
}

void TToolBar::AddSeparator()
{
    TToolButton button;
    button.separator = true;
    buttons_.push_back(std::move(button));
    Changed();
}

TToolButton* TToolBar::Find(std::string_view name)
{
    for (TToolButton& button : buttons_)
        if (!button.separator && button.name == name) return &button;
    return nullptr;
}

void TToolBar::SetEnabled(std::string_view name, bool enabled)
{
    TToolButton* button = Find(name);
    if (!button || button->enabled == enabled) return;
    button->enabled = enabled;
    Changed();
}

void TToolBar::SetImageIndex(std::string_view name, int imageIndex)
{
    TToolButton* button = Find(name);
    if (!button || button->imageIndex == imageIndex) return;
    button->imageIndex = imageIndex;
    Changed();
}

void TToolBar::Click(std::string_view name)
{
    TToolButton* button = Find(name);
    if (button && button->enabled && button->OnClick) button->OnClick();
}

void TToolBar::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    Changed();
}

void TToolBar::Changed()
{
    if (observer_) observer_->ToolBarChanged(*this);
}

void TStatusBar::AddPanel(int width, std::string text)
{
    panels_.push_back(TStatusPanel{width, std::move(text)});
    if (observer_) observer_->StatusBarChanged(*this);
}

void TStatusBar::SetText(size_t index, std::string_view text)
{
    if (index >= panels_.size() || panels_[index].text == text) return;
    panels_[index].text.assign(text);
    if (observer_) observer_->StatusBarChanged(*this);
}

}  // namespace kp::ui
