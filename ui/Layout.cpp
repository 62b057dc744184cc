#include "ui/Layout.h"

#include <algorithm>

namespace kp::ui {

TControl::TControl(ControlKind kind, std::string name, TAlign align, int width, int height)
    : kind_(kind), name_(std::move(name)), align_(align), width_(width), height_(height)
{
}

TControl::~TControl() = default;

LayoutObserver* TControl::RootObserver() const
{
    const TControl* control = this;
    while (control->parent_) control = control->parent_;
    return control->observer_;
}

void TControl::SetAlign(TAlign align)
{
    if (align == align_) return;
    align_ = align;
    Relayout();
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (LayoutObserver* observer = RootObserver()) observer->ControlChanged(*this);
    Relayout();
}

void TControl::SetWidth(int width)
{
    if (width < 0 || width == width_) return;
    width_ = width;
    Relayout();
}

void TControl::SetHeight(int height)
{
    if (height < 0 || height == height_) return;
    height_ = height;
    Relayout();
}

void TControl::SetViewStyle(TViewStyle style)
{
    if (style == viewStyle_) return;
    viewStyle_ = style;
    if (LayoutObserver* observer = RootObserver()) observer->ControlChanged(*this);
}

TControl* TControl::Add(std::unique_ptr<TControl> child)
{
    child->parent_ = this;
    children_.push_back(std::move(child));
    return children_.back().get();
}

TControl* TControl::Add(ControlKind kind, std::string name, TAlign align, int width, int height)
{
    return Add(std::make_unique<TControl>(kind, std::move(name), align, width, height));
}

TControl* TControl::Find(std::string_view name)
{
    if (name_ == name) return this;
    for (const auto& child : children_)
        if (TControl* found = child->Find(name)) return found;
    return nullptr;
}

void TControl::Place(const TRect& bounds)
{
    const bool changed = !(bounds == bounds_);
    bounds_ = bounds;
    if (align_ != TAlign::Left && align_ != TAlign::Right && align_ != TAlign::None) width_ = bounds.Width();
    if (align_ != TAlign::Top && align_ != TAlign::Bottom && align_ != TAlign::None) height_ = bounds.Height();
    if (changed)
        if (LayoutObserver* observer = RootObserver()) observer->ControlChanged(*this);
    Arrange(TRect{0, 0, bounds.Width(), bounds.Height()});
}

void TControl::Arrange(const TRect& client)
{
    client_ = client;
    TRect rest = client;
    for (const TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
        for (const auto& child : children_) {
            if (child->align_ != pass || !child->visible_) continue;
            TRect box = rest;
            switch (pass) {
            case TAlign::Top:
                box.bottom = std::min(rest.bottom, rest.top + child->height_);
                rest.top = box.bottom;
                break;
            case TAlign::Bottom:
                box.top = std::max(rest.top, rest.bottom - child->height_);
                rest.bottom = box.top;
                break;
            case TAlign::Left:
                box.right = std::min(rest.right, rest.left + child->width_);
                rest.left = box.right;
                break;
            case TAlign::Right:
                box.left = std::max(rest.left, rest.right - child->width_);
                rest.right = box.left;
                break;
            default:
                break;
            }
            child->Place(box);
        }
    }
    for (const auto& child : children_)
        if (child->align_ == TAlign::None && child->visible_)
            child->Place(TRect{child->bounds_.left, child->bounds_.top, child->bounds_.left + child->width_,
                               child->bounds_.top + child->height_});
}

void TControl::Relayout()
{
    TControl* root = this;
    while (root->parent_) root = root->parent_;
    root->Arrange(root->client_);
}

}  // namespace kp::ui
