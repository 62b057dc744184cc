// Posted work on the platform's message loop, as the folder tree reads a
// large folder in pieces: pieces run in the order posted, after the messages
// already waiting and never inside Post; a piece posted by a piece runs after
// those queued before it; what a piece throws goes to the handler and the
// next piece still runs; pieces left when the poster goes never run.

#include "ui/win32/Win32Posting.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kp::test {
namespace {

constexpr UINT kWaiting = WM_APP + 50;

// Runs the thread's messages until none came for a while; a thread message
// kWaiting is written to the log when its turn comes.
void PumpLogging(std::vector<std::string>& log)
{
    MSG message;
    for (int idle = 0, round = 0; idle < 6 && round < 400; ++round) {
        bool any = false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (!message.hwnd && message.message == kWaiting) {
                log.push_back("waiting message");
                continue;
            }
            DispatchMessageW(&message);
        }
        idle = any ? 0 : idle + 1;
        Sleep(5);
    }
}

TEST(ShellViewsPostingTest, PiecesRunInTurnAfterWaitingMessagesAndOutliveAFailingOne)
{
    std::vector<std::string> log, failures;
    const ui::ExceptionHandler handler = [&](const std::exception& failure) { failures.push_back(failure.what()); };
    ui::Win32Posting posting(handler);
    ASSERT_NE(posting.Handle(), nullptr);
    PostThreadMessageW(GetCurrentThreadId(), kWaiting, 0, 0);
    posting.Post([&] {
        log.push_back("one");
        posting.Post([&] { log.push_back("three, posted by one"); });
    });
    posting.Post([&] {
        log.push_back("two");
        throw std::runtime_error("piece failed");
    });
    EXPECT_TRUE(log.empty()) << "Post runs nothing itself";
    EXPECT_EQ(posting.Pending(), 2u);
    PumpLogging(log);
    EXPECT_EQ(log, (std::vector<std::string>{"waiting message", "one", "two", "three, posted by one"}));
    EXPECT_EQ(failures, (std::vector<std::string>{"piece failed"}));
    EXPECT_EQ(posting.Pending(), 0u);

    // A poster that goes takes its pieces with it.
    log.clear();
    {
        ui::Win32Posting brief(handler);
        brief.Post([&] { log.push_back("never"); });
    }
    PumpLogging(log);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace kp::test
