#pragma once
// The tool bar and the status bar as the form sees them. An observer (the
// Win32 common controls, or nothing in tests) shows every change.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kp::ui {

class TToolBar;
class TStatusBar;

class BarObserver {
public:
    virtual ~BarObserver() = default;
    virtual void ToolBarChanged(TToolBar& bar) = 0;
    virtual void StatusBarChanged(TStatusBar& bar) = 0;
};

struct TToolButton {
    std::string name;       // the command key of what it runs
    std::string hint;       // its caption, shown as a tip
    int imageIndex = -1;
    bool separator = false;
    bool enabled = true;
    std::function<void()> OnClick;
};

class TToolBar {
public:
    void AddButton(std::string name, std::string hint, int imageIndex, std::function<void()> onClick = {});
    void AddSeparator();
    std::vector<TToolButton>& Buttons() { return buttons_; }
    const std::vector<TToolButton>& Buttons() const { return buttons_; }
    TToolButton* Find(std::string_view name);

    void SetEnabled(std::string_view name, bool enabled);
    void SetImageIndex(std::string_view name, int imageIndex);
    // Presses a button: its handler, when enabled.
    void Click(std::string_view name);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int ButtonWidth = 25;
    int ButtonHeight = 24;

    void SetObserver(BarObserver* observer) { observer_ = observer; }

private:
    void Changed();
    std::vector<TToolButton> buttons_;
    bool visible_ = true;
    BarObserver* observer_ = nullptr;
};

struct TStatusPanel {
    int width;
    std::string text;
};

class TStatusBar {
public:
    void AddPanel(int width, std::string text = {});
    size_t PanelCount() const { return panels_.size(); }
    const TStatusPanel& Panel(size_t index) const { return panels_[index]; }
    const std::string& Text(size_t index) const { return panels_[index].text; }
    // Reuses the panel's storage: the caret panel is written at every caret move.
    void SetText(size_t index, std::string_view text);
    bool Visible() const { return visible_; }

    void SetObserver(BarObserver* observer) { observer_ = observer; }

private:
    std::vector<TStatusPanel> panels_;
    bool visible_ = true;
    BarObserver* observer_ = nullptr;
};

}  // namespace kp::ui
