#pragma once

#include "platform/clipboard/Clipboard.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// The real clipboard is shared: each test sets its own content first.
class ClipboardContract : public ::testing::TestWithParam<Implementation<platform::Clipboard>> {
protected:
    void SetUp() override { clipboard = GetParam().make(); }

    std::unique_ptr<platform::Clipboard> clipboard;
};

}  // namespace kp::test
