#include "tests/contract/CanvasContract.h"

#include "memo/MarkPainter.h"
#include "memo/SimMemoWindow.h"
#include "platform/keyboard/KeyState.h"
#include "tests/TestPlatform.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace kp::test {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kMarkColor = 0x0000C0;

// Replays the recorded operations on a pixel grid: fills, one-pixel lines
// with their end points, and text as its opaque cell with one inked pixel.
class SimCanvasSurface final : public CanvasSurface {
public:
    SimCanvasSurface() : window_(nullptr, TestCodec(), nullptr, keys_), device_(window_.GetDC()) {}
    memo::CanvasDevice& Device() override { return *device_; }
    uint32_t Pixel(int x, int y) override
    {
        if (window_.Painted().size() != replayed_) Replay();
        return pixels_[static_cast<size_t>(y * kSize + x)];
    }

private:
    void Replay()
    {
        replayed_ = window_.Painted().size();
        std::array<uint32_t, kSize * kSize>& pixels = pixels_;
        pixels.fill(0);
        auto set = [&](int px, int py, uint32_t rgb) {
            if (px >= 0 && px < kSize && py >= 0 && py < kSize) pixels[static_cast<size_t>(py * kSize + px)] = rgb;
        };
        for (const memo::PaintOp& op : window_.Painted()) {
            if (op.kind == memo::PaintOp::Fill) {
                for (const memo::re::Rect& r : op.rects)
                    for (int py = r.top; py < r.bottom; ++py)
                        for (int px = r.left; px < r.right; ++px) set(px, py, op.color);
            } else if (op.kind == memo::PaintOp::Lines) {
                size_t at = 0;
                for (const uint32_t count : op.counts) {
                    for (size_t i = at; i + 1 < at + count; ++i) Segment(op.points[i], op.points[i + 1], op.color, set);
                    at += count;
                }
            } else if (op.kind == memo::PaintOp::Text) {
                const memo::re::Rect& c = op.clip;
                for (int py = c.top; py < c.bottom; ++py)
                    for (int px = c.left; px < c.right; ++px) set(px, py, op.back);
                if (op.x + 1 < c.right && op.y + 1 < c.bottom) set(op.x + 1, op.y + 1, op.color);
            }
        }
    }

    template <class Set>
    static void Segment(memo::re::PointL a, memo::re::PointL b, uint32_t rgb, Set& set)
    {
        const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        for (int i = 0; i <= steps; ++i) {
            const int px = steps ? a.x + (b.x - a.x) * i / steps : a.x;
            const int py = steps ? a.y + (b.y - a.y) * i / steps : a.y;
            set(px, py, rgb);
        }
    }

    platform::SimKeyState keys_;
    memo::SimMemoWindow window_;
    std::unique_ptr<memo::CanvasDevice> device_;
    std::array<uint32_t, kSize * kSize> pixels_{};
    size_t replayed_ = SIZE_MAX;
};

const memo::MarkKind kKinds[] = {memo::MarkKind::EndOfText, memo::MarkKind::LineEnd,
                                 memo::MarkKind::LoneLf,    memo::MarkKind::Tab,
                                 memo::MarkKind::Space,     memo::MarkKind::IdeographicSpace,
                                 memo::MarkKind::Control};

// A mark on a 16-pixel character at (10, 10), its face 14 pixels high.
const memo::MarkCell kCell{10, 10, 16, 14, memo::re::Rect{0, 0, CanvasSurface::kSize, CanvasSurface::kSize}};
const platform::FontSpec kFont{"ＭＳ ゴシック", 14, false, false, platform::kShiftJisCharset};

void Draw(CanvasSurface& surface, memo::MarkKind kind, memo::MarkColors colors, bool erase)
{
    memo::MarkBatch batch;
    memo::PaintMark(batch, kind, kCell, colors, erase, 'A', &kFont);
    memo::CanvasPass pass(&surface.Device());
    batch.Draw(surface.Device());
}

void Clear(CanvasSurface& surface)
{
    memo::CanvasPass pass(&surface.Device());
    surface.Device().Fill({memo::re::Rect{0, 0, CanvasSurface::kSize, CanvasSurface::kSize}}, kWhite);
}

bool InCell(int x, int y)
{
    return x >= kCell.x && x < kCell.x + kCell.advance && y >= kCell.y && y < kCell.y + kCell.size + 2;
}

}  // namespace

std::unique_ptr<CanvasSurface> MakeSimCanvasSurface() { return std::make_unique<SimCanvasSurface>(); }

TEST_P(CanvasContract, AMarkStaysInItsCellAndErasingLeavesBackground)
{
    for (const memo::MarkKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        Clear(*surface);
        Draw(*surface, kind, {kWhite, kMarkColor}, false);
        int inked = 0;
        for (int y = 0; y < CanvasSurface::kSize; ++y)
            for (int x = 0; x < CanvasSurface::kSize; ++x) {
                const uint32_t pixel = surface->Pixel(x, y);
                if (pixel == kWhite) continue;
                EXPECT_TRUE(InCell(x, y)) << "painted at " << x << "," << y;
                ++inked;
            }
        EXPECT_GT(inked, 0);
        Draw(*surface, kind, {kWhite, kWhite}, true);
        for (int y = 0; y < CanvasSurface::kSize; ++y)
            for (int x = 0; x < CanvasSurface::kSize; ++x)
                ASSERT_EQ(surface->Pixel(x, y), kWhite) << "left at " << x << "," << y;
    }
}

TEST_P(CanvasContract, AReversedMarkFillsItsCellWithTheMarkColour)
{
    for (const memo::MarkKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        Clear(*surface);
        Draw(*surface, kind, {kMarkColor, kWhite}, false);
        int filled = 0;
        for (int y = 0; y < CanvasSurface::kSize; ++y)
            for (int x = 0; x < CanvasSurface::kSize; ++x)
                if (surface->Pixel(x, y) == kMarkColor) {
                    EXPECT_TRUE(InCell(x, y)) << "painted at " << x << "," << y;
                    ++filled;
                }
        EXPECT_GT(filled, 12);  // the cell, not just a face's lines
        EXPECT_EQ(surface->Pixel(kCell.x + kCell.advance, kCell.y + 4), kWhite);  // the next character
    }
}

TEST_P(CanvasContract, LinesIncludeTheirEndPoints)
{
    Clear(*surface);
    {
        memo::CanvasPass pass(&surface->Device());
        surface->Device().Polylines({{5, 5}, {5, 9}, {20, 30}, {25, 30}}, {2, 2}, kMarkColor);
    }
    EXPECT_EQ(surface->Pixel(5, 5), kMarkColor);
    EXPECT_EQ(surface->Pixel(5, 9), kMarkColor);
    EXPECT_EQ(surface->Pixel(25, 30), kMarkColor);
    EXPECT_EQ(surface->Pixel(5, 10), kWhite);
    EXPECT_EQ(surface->Pixel(12, 20), kWhite);  // two polylines, not one
}

}  // namespace kp::test
