#include "ui/Menu.h"

#include <mutex>
#include <set>

namespace kp::ui {

namespace {

// Command ids travel in 16 bits (WM_COMMAND, accelerators), so they are
// recycled: a new item takes the next id in [1000, 0xF000) that no living
// item holds. Ids below 1000 belong to dialog buttons, those above to the
// system menu.
constexpr int kFirstId = 1000;
constexpr int kLastId = 0xEFFF;

std::mutex idLock;
std::set<int> liveIds;
int nextId = kFirstId;

int TakeId()
{
    const std::lock_guard<std::mutex> lock(idLock);
    for (int tries = 0; tries <= kLastId - kFirstId; ++tries) {
        const int id = nextId;
        nextId = nextId == kLastId ? kFirstId : nextId + 1;
        if (liveIds.insert(id).second) return id;
    }
    return 0;  // every id in use: the item cannot be chosen by id
}

void ReleaseId(int id)
{
    const std::lock_guard<std::mutex> lock(idLock);
    liveIds.erase(id);
}

}  // namespace

TMenuItem::TMenuItem(std::string caption, std::string name, TShortCut shortCut)
    : caption_(std::move(caption)), name_(std::move(name)), shortCut_(shortCut), id_(TakeId())
{
}

TMenuItem::~TMenuItem()
{
    items_.clear();
    ReleaseId(id_);
}

MenuObserver* TMenuItem::RootObserver() const
{
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->observer_;
}

void TMenuItem::Changed()
{
    if (MenuObserver* observer = RootObserver()) observer->ItemChanged(*this);
}

void TMenuItem::SetCaption(std::string caption)
{
    if (caption == caption_) return;
    caption_ = std::move(caption);
    Changed();
}

void TMenuItem::SetChecked(bool checked)
{
    if (checked == checked_) return;
    checked_ = checked;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    if (shortCut == shortCut_) return;
    shortCut_ = shortCut;
    Changed();
}

void TMenuItem::Click()
{
    if (!enabled_ || !OnClick) return;
    // A copy: the handler may rebuild the menu and delete this very item.
    const std::function<void()> handler = OnClick;
    handler();
}

TMenuItem* TMenuItem::Add(std::unique_ptr<TMenuItem> item)
{
    return Insert(items_.size(), std::move(item));
}

TMenuItem* TMenuItem::Add(std::string caption, std::string name, TShortCut shortCut)
{
    return Add(std::make_unique<TMenuItem>(std::move(caption), std::move(name), shortCut));
}

TMenuItem* TMenuItem::Insert(size_t index, std::unique_ptr<TMenuItem> item)
{
    item->parent_ = this;
    TMenuItem* raw = item.get();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), std::move(item));
    if (MenuObserver* observer = RootObserver()) observer->ItemsChanged(*this);
    return raw;
}

std::unique_ptr<TMenuItem> TMenuItem::Remove(TMenuItem* item)
{
    const size_t index = IndexOf(item);
    if (index == items_.size()) return nullptr;
    std::unique_ptr<TMenuItem> removed = std::move(items_[index]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    removed->parent_ = nullptr;
    if (MenuObserver* observer = RootObserver()) observer->ItemsChanged(*this);
    return removed;
}

size_t TMenuItem::IndexOf(const TMenuItem* item) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return i;
    return items_.size();
}

TMenuItem* TMenuItem::FindByName(std::string_view name)
{
    if (!name.empty() && name_ == name) return this;
    for (const auto& child : items_)
        if (TMenuItem* found = child->FindByName(name)) return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindById(int id)
{
    if (id_ == id) return this;
    for (const auto& child : items_)
        if (TMenuItem* found = child->FindById(id)) return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindByCaption(std::string_view caption)
{
    if (caption_ == caption) return this;
    for (const auto& child : items_)
        if (TMenuItem* found = child->FindByCaption(caption)) return found;
    return nullptr;
}

void TMenuItem::ForEach(const std::function<void(TMenuItem&)>& visit)
{
    for (const auto& child : items_) {
        visit(*child);
        child->ForEach(visit);
    }
}

std::string StripAccessKey(std::string_view caption, char* accessKey)
{
    std::string out;
    if (accessKey) *accessKey = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
            continue;
        }
        if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out += '&';
            ++i;
        } else if (i + 1 < caption.size() && accessKey && *accessKey == 0) {
            const char key = caption[i + 1];
            *accessKey = key >= 'a' && key <= 'z' ? static_cast<char>(key - 32) : key;
        }
    }
    return out;
}

}  // namespace kp::ui
