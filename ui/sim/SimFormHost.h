#pragma once
// Simulated window-level services for tests of form logic: a form host that
// keeps caption, bounds and state, an application host that keeps the
// task-bar title, and a timer service whose timers tests tick by hand.

#include "ui/Application.h"
#include "ui/FormHost.h"
#include "ui/Timer.h"

#include <set>

namespace kp::ui {

class SimFormHost final : public FormHost, public ApplicationHost, public TimerService {
public:
    // FormHost
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    TRect Bounds() const override { return bounds_; }
    void SetBounds(const TRect& bounds) override { bounds_ = bounds; }
    TWindowState WindowState() const override { return state_; }
    void SetWindowState(TWindowState state) override { state_ = state; }
    void Close() override { ++closeRequests_; }
    void AcceptFiles(bool accept) override { acceptsFiles_ = accept; }
    void Beep() override { ++beeps_; }

    // ApplicationHost
    void SetTitle(const std::string& title) override { title_ = title; }

    // TimerService
    void Start(TTimer& timer) override { running_.insert(&timer); }
    void Stop(TTimer& timer) override { running_.erase(&timer); }

    const std::string& Title() const { return title_; }
    bool AcceptsFiles() const { return acceptsFiles_; }
    int CloseRequests() const { return closeRequests_; }
    int Beeps() const { return beeps_; }
    bool Running(const TTimer& timer) const { return running_.count(const_cast<TTimer*>(&timer)) != 0; }

private:
    std::string caption_;
    std::string title_;
    // The platform's default position with the designed size.
    TRect bounds_{100, 80, 838, 594};
    TWindowState state_ = TWindowState::wsNormal;
    bool acceptsFiles_ = false;
    int closeRequests_ = 0;
    int beeps_ = 0;
    std::set<TTimer*> running_;
};

}  // namespace kp::ui
