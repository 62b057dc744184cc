#pragma once

#include "platform/textmetrics/TextMetrics.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// Every test starts with the fixed-pitch Japanese face at 16 pixels.
class TextMetricsContract : public ::testing::TestWithParam<Implementation<platform::TextMetrics>> {
protected:
    void SetUp() override
    {
        metrics = GetParam().make();
        ASSERT_TRUE(metrics->SetFont(FixedFace(16)));
    }

    static platform::FontSpec FixedFace(int pixelHeight)
    {
        platform::FontSpec font;
        font.face = "ＭＳ ゴシック";
        font.pixelHeight = pixelHeight;
        return font;
    }

    std::unique_ptr<platform::TextMetrics> metrics;
};

}  // namespace kp::test
