// The memo, typed into as a user types.

#include "tests/e2e/ScenarioKit.h"

namespace kp::e2e {

namespace {

void MemoTakesTypedText(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"abc日本語");
    // Positions count code-page-932 bytes: three double-byte characters after "abc".
    ExpectMemo(memo, L"abc日本語", {9, 9});
    PressKeys(window, {VK_RETURN});
    TypeText(window, L"ｶﾀｶﾅ");
    ExpectMemo(memo, L"abc日本語\r\nｶﾀｶﾅ", {15, 15});
    CloseDiscardingChanges(editor, window);
}

void MemoSelectsCopiesPastesAndUndoes(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"abc日本語");
    ExpectMemo(memo, L"abc日本語", {9, 9});
    PressKeys(window, {VK_LEFT, WithShift});
    PressKeys(window, {VK_LEFT, WithShift});
    ExpectMemo(memo, L"abc日本語", {5, 9});
    PressKeys(window, {'C', WithCtrl});
    PressKeys(window, {VK_HOME});
    ExpectMemo(memo, L"abc日本語", {0, 0});
    PressKeys(window, {'V', WithCtrl});
    ExpectMemo(memo, L"本語abc日本語", {4, 4});
    PressKeys(window, {VK_RIGHT, WithCtrl});
    ExpectMemo(memo, L"本語abc日本語", {7, 7});
    PressKeys(window, {VK_DELETE});
    ExpectMemo(memo, L"本語abc本語", {7, 7});
    PressKeys(window, {'Z', WithCtrl});
    ExpectMemo(memo, L"本語abc日本語", {7, 7});
    PressKeys(window, {'Z', WithCtrl});
    ExpectMemo(memo, L"abc日本語", {0, 0});
    CloseDiscardingChanges(editor, window);
}
}  // namespace

const std::vector<Scenario>& MemoScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"memo-takes-typed-text", MemoTakesTypedText},
        {"memo-selects-copies-pastes-and-undoes", MemoSelectsCopiesPastesAndUndoes},
    };
    return scenarios;
}

}  // namespace kp::e2e
