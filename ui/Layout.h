#pragma once
// Controls that dock on a side of their parent (panels, splitters, the tree
// and list views, the memo) and the layout that places them: top, bottom,
// left and right docks in turn take their height or width off the remaining
// area, in the order they were added; client docks fill what is left.

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kp::ui {

enum class TAlign { None, Top, Bottom, Left, Right, Client };

struct TRect {
    // The distance between two edges, in 64 bits and kept within the
    // integers: a rectangle from the far left to the far right has a width.
    static int Span(int from, int to)
    {
        const long long span = static_cast<long long>(to) - from;
        return span > INT_MAX ? INT_MAX : span < INT_MIN ? INT_MIN : static_cast<int>(span);
    }

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return Span(left, right); }
    int Height() const { return Span(top, bottom); }
    bool operator==(const TRect&) const = default;
};

enum class ControlKind { Panel, Splitter, TreeView, ListView, Memo, ToolBar, StatusBar };
enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TControl;

class LayoutObserver {
public:
    virtual ~LayoutObserver() = default;
    // Bounds or visibility of a control changed (after a layout pass).
    virtual void ControlChanged(TControl& control) = 0;
};

class TControl {
public:
    TControl(ControlKind kind, std::string name, TAlign align, int width = 0, int height = 0);
    virtual ~TControl();

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int Width() const { return width_; }
    void SetWidth(int width);
    int Height() const { return height_; }
    void SetHeight(int height);
    // Where the last layout put it, relative to its parent's client area.
    const TRect& Bounds() const { return bounds_; }

    // Splitters: the smallest size a drag leaves the control it resizes and
    // the room beside it (at 96 DPI).
    int MinSize() const { return minSize_; }
    void SetMinSize(int size)
    {
        if (size >= 0) minSize_ = size;
    }

    // List views: the view style.
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);

    TControl* Add(std::unique_ptr<TControl> child);
    TControl* Add(ControlKind kind, std::string name, TAlign align, int width = 0, int height = 0);
    size_t Count() const { return children_.size(); }
    TControl* Child(size_t index) const { return children_[index].get(); }
    TControl* Parent() const { return parent_; }
    TControl* Find(std::string_view name);

    // Places the children inside `client` (this control's client area),
    // then their children inside theirs.
    void Arrange(const TRect& client);
    // Lays the tree out again from the root, with the root's last client area.
    void Relayout();

    void SetObserver(LayoutObserver* observer) { observer_ = observer; }

private:
    LayoutObserver* RootObserver() const;
    void Place(const TRect& bounds);

    ControlKind kind_;
    std::string name_;
    TAlign align_;
    bool visible_ = true;
    int width_;
    int height_;
    TRect bounds_;
    TRect client_;
    TViewStyle viewStyle_ = TViewStyle::vsReport;
    int minSize_ = 30;
    TControl* parent_ = nullptr;
    std::vector<std::unique_ptr<TControl>> children_;
    LayoutObserver* observer_ = nullptr;
};

}  // namespace kp::ui
