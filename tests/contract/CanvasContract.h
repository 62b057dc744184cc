#pragma once
// A drawing surface for the canvas contract: a device to draw the memo's
// marks with, and the pixels it left.

#include "memo/MemoWindow.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class CanvasSurface {
public:
    static constexpr int kSize = 64;
    virtual ~CanvasSurface() = default;
    virtual memo::CanvasDevice& Device() = 0;
    // RGB of a pixel of the kSize x kSize surface.
    virtual uint32_t Pixel(int x, int y) = 0;
};

class CanvasContract : public ::testing::TestWithParam<Implementation<CanvasSurface>> {
protected:
    void SetUp() override { surface = GetParam().make(); }

    std::unique_ptr<CanvasSurface> surface;
};

// The simulated window's recording device, its operations rasterized.
std::unique_ptr<CanvasSurface> MakeSimCanvasSurface();

}  // namespace kp::test
