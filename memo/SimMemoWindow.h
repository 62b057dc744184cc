#pragma once
// A window-less host for the memo's control: messages are handled as the
// Win32 view handles them (keys, characters and mouse through EditInput,
// rich-edit messages by the model), with fixed glyph metrics, so the memo's
// behaviour is tested without a display.

#include "memo/MemoWindow.h"
#include "memo/edit/EditInput.h"

#include <string>
#include <vector>

namespace kp::platform {
class Clipboard;
class KeyState;
}  // namespace kp::platform

namespace kp::memo {

// One drawing operation on the simulated window's canvas.
struct PaintOp {
    enum Kind { Fill, Lines, Text, HideCaret, ShowCaret, Begin, End };
    explicit PaintOp(Kind k) : kind(k) {}
    Kind kind;
    std::vector<re::Rect> rects;       // Fill
    std::vector<re::PointL> points;    // Lines
    std::vector<uint32_t> counts;      // Lines
    uint32_t color = 0;                // fill, line or text colour
    uint32_t back = 0;                 // Text: the cell's colour
    std::string text;                  // Text
    platform::FontSpec font;           // Text
    re::Rect clip{};                   // Text
    int x = 0;
    int y = 0;
};

class SimMemoWindow final : public MemoWindow, private EditListener {
public:
    SimMemoWindow(MessageHandler handler, const platform::Cp932Codec& codec, platform::Clipboard* clipboard,
                  const platform::KeyState& keys);

    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    EditControl& Control() override { return control_; }
    void SetFont(const platform::FontSpec& font) override { font_ = font; }
    void SetTextColor(uint32_t rgb) override { textColor_ = rgb; }
    // The control's own changes invalidate as well; a WM_PAINT paints it all.
    void Invalidate() override
    {
        ++invalidations_;
        paintDue_ = true;
    }
    bool WholePaintDue() const override { return paintDue_; }
    void SetFocus() override { focused_ = true; }
    int ClientWidth() const override { return width_; }
    int ClientHeight() const override { return height_; }
    std::unique_ptr<CanvasDevice> GetDC() override;
    re::PointL CaretPos() const override { return control_.CaretPos(); }
    void SetFocused(bool focused) { focused_ = focused; }
    // Everything drawn on the canvas so far.
    std::vector<PaintOp>& Painted() { return painted_; }

    void Resize(int width, int height);
    const platform::FontSpec& Font() const { return font_; }
    uint32_t TextColor() const { return textColor_; }
    int Paints() const { return paints_; }
    bool Focused() const override { return focused_; }
    int OpenDCs() const { return openDCs_; }
    int Invalidations() const { return invalidations_; }

private:
    void Notify(uint32_t code) override;

    MessageHandler handler_;
    const platform::Cp932Codec& codec_;
    const platform::KeyState& keys_;
    FixedGlyphMetrics metrics_;
    EditControl control_;
    EditInput input_;
    platform::FontSpec font_;
    uint32_t textColor_ = 0;
    int width_ = 400;
    int height_ = 300;
    int paints_ = 0;
    int invalidations_ = 0;
    bool focused_ = false;
    bool paintDue_ = false;
    int openDCs_ = 0;
    std::vector<PaintOp> painted_;
};

class SimMemoWindowFactory final : public MemoWindowFactory {
public:
    SimMemoWindowFactory(const platform::Cp932Codec& codec, platform::Clipboard* clipboard,
                         const platform::KeyState& keys)
        : codec_(codec), clipboard_(clipboard), keys_(keys)
    {
    }
    std::unique_ptr<MemoWindow> Create(const MemoWindowStyle& style, MessageHandler handler) override;

    // The window most recently created (alive while the memo keeps it).
    SimMemoWindow* Last() const { return last_; }
    int Created() const { return created_; }
    MemoWindowStyle LastStyle() const { return style_; }

private:
    const platform::Cp932Codec& codec_;
    platform::Clipboard* clipboard_;
    const platform::KeyState& keys_;
    SimMemoWindow* last_ = nullptr;
    int created_ = 0;
    MemoWindowStyle style_;
};

}  // namespace kp::memo
