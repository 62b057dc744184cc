#include "memo/SimMemoWindow.h"

#include "memo/edit/WindowMessages.h"
#include "platform/codec/Cp932Codec.h"
#include "platform/keyboard/KeyState.h"

#include <cstring>

namespace kp::memo {

namespace {

// Records what is drawn, as the window's canvas.
class SimDevice final : public CanvasDevice {
public:
    SimDevice(int& open, std::vector<PaintOp>& painted) : open_(open), painted_(painted) { ++open_; }
    ~SimDevice() override { --open_; }

    void Begin() override { painted_.push_back(PaintOp(PaintOp::Begin)); }
    void End() override { painted_.push_back(PaintOp(PaintOp::End)); }
    void Fill(const std::vector<re::Rect>& rects, uint32_t rgb) override
    {
        PaintOp op(PaintOp::Fill);
        op.rects = rects;
        op.color = rgb;
        painted_.push_back(std::move(op));
    }
    void Polylines(const std::vector<re::PointL>& points, const std::vector<uint32_t>& counts, uint32_t rgb) override
    {
        PaintOp op(PaintOp::Lines);
        op.points = points;
        op.counts = counts;
        op.color = rgb;
        painted_.push_back(std::move(op));
    }
    void Text(int x, int y, std::string_view text, const platform::FontSpec& font, uint32_t rgb, uint32_t back,
              const re::Rect& clip) override
    {
        PaintOp op(PaintOp::Text);
        op.x = x;
        op.y = y;
        op.text = std::string(text);
        op.font = font;
        op.color = rgb;
        op.back = back;
        op.clip = clip;
        painted_.push_back(std::move(op));
    }
    void HideCaret() override { painted_.push_back(PaintOp(PaintOp::HideCaret)); }
    void ShowCaret() override { painted_.push_back(PaintOp(PaintOp::ShowCaret)); }

private:
    int& open_;
    std::vector<PaintOp>& painted_;
};

re::PointL PointOf(intptr_t lParam)
{
    return re::PointL{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}

}  // namespace

SimMemoWindow::SimMemoWindow(MessageHandler handler, const platform::Cp932Codec& codec,
                             platform::Clipboard* clipboard, const platform::KeyState& keys)
    : handler_(std::move(handler)),
      codec_(codec),
      keys_(keys),
      control_(metrics_, codec, clipboard),
      input_(control_, codec)
{
    control_.SetListener(this);
    control_.SetClientSize(width_, height_);
}

std::unique_ptr<CanvasDevice> SimMemoWindow::GetDC()
{
    return std::make_unique<SimDevice>(openDCs_, painted_);
}

void SimMemoWindow::Resize(int width, int height)
{
    width_ = width;
    height_ = height;
    control_.SetClientSize(width, height);
}

void SimMemoWindow::Notify(uint32_t code)
{
    Send(wm::kCnNotify, code, 0);
}

intptr_t SimMemoWindow::Send(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return handler_ ? handler_(message, wParam, lParam) : DefaultProc(message, wParam, lParam);
}

intptr_t SimMemoWindow::DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    const Modifiers modifiers{keys_.IsDown(vk::kShift), keys_.IsDown(vk::kControl), keys_.IsDown(0x12)};
    switch (message) {
    case wm::kPaint:
        ++paints_;
        paintDue_ = false;
        return 0;
    case wm::kNcPaint:
    case wm::kCnNotify:
        return 0;
    case wm::kKeyDown:
        return input_.KeyDown(static_cast<uint32_t>(wParam), modifiers) ? 0 : 1;
    case wm::kChar:
        input_.Char(static_cast<char16_t>(wParam));
        return 0;
    case wm::kLButtonDown:
        focused_ = true;
        input_.ButtonDown(PointOf(lParam), modifiers);
        return 0;
    case wm::kLButtonDblClk:
        input_.DoubleClick(PointOf(lParam));
        return 0;
    case wm::kMouseMove:
        input_.Drag(PointOf(lParam));
        return 0;
    case wm::kLButtonUp:
        input_.ButtonUp();
        return 0;
    case wm::kGetTextLength:
        return static_cast<intptr_t>(codec_.ToUtf16(control_.GetText()).size());
    case wm::kGetText: {
        // Other programs read the window as UTF-16.
        const std::u16string text = codec_.ToUtf16(control_.GetText());
        if (wParam == 0 || lParam == 0) return 0;
        const size_t n = std::min<size_t>(text.size(), wParam - 1);
        auto* out = reinterpret_cast<char16_t*>(lParam);
        std::memcpy(out, text.data(), n * sizeof(char16_t));
        out[n] = 0;
        return static_cast<intptr_t>(n);
    }
    default:
        return control_.Message(message, wParam, lParam);
    }
}

std::unique_ptr<MemoWindow> SimMemoWindowFactory::Create(const MemoWindowStyle& style, MessageHandler handler)
{
    auto window = std::make_unique<SimMemoWindow>(std::move(handler), codec_, clipboard_, keys_);
    last_ = window.get();
    style_ = style;
    ++created_;
    return window;
}

}  // namespace kp::memo
