#include "ui/ViewTypes.h"

namespace kp::ui {

namespace {

struct ScreenState {
    TCursor cursor = TCursor::crDefault;
    std::function<void(TCursor)> observer;
};

ScreenState& State()
{
    static ScreenState state;
    return state;
}

}  // namespace

TCursor Screen::Cursor() { return State().cursor; }

void Screen::SetCursor(TCursor cursor)
{
    ScreenState& state = State();
    state.cursor = cursor;
    if (state.observer) state.observer(cursor);
}

void Screen::SetObserver(std::function<void(TCursor)> observer) { State().observer = std::move(observer); }

}  // namespace kp::ui
