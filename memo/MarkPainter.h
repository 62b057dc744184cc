#pragma once
// The faces of the edit marks, drawn as shapes so that they look the same in
// every font and scale with it: a left arrow at the end of the text, a down
// arrow at a line end (half height for a lone LF), a chevron for a tab, a
// bracket under a space, an outline square for an ideographic space and the
// control letter as text. Each mark owns a cell: filled opaque with the
// brush colour and clipped to the character's own advance, so that a mark
// never covers the next character.
//
// Painters add to a batch; the batch draws all fills and all lines of one
// colour in one call each.

#include "memo/MemoWindow.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kp::memo {

struct MarkColors {
    uint32_t brush;
    uint32_t text;
};

class MarkBatch {
public:
    void Fill(const re::Rect& rect, uint32_t rgb);
    // A polyline of the given points, kept inside `clip`.
    void Line(std::initializer_list<re::PointL> points, uint32_t rgb, const re::Rect& clip);
    void Text(int x, int y, std::string text, const platform::FontSpec& font, MarkColors colors, const re::Rect& clip);
    bool Empty() const { return fills_.empty() && lines_.empty() && texts_.empty(); }
    // Fills, then lines, then texts, one call per colour for each.
    void Draw(CanvasDevice& device);

private:
    struct Lines {
        std::vector<re::PointL> points;
        std::vector<uint32_t> counts;
    };
    struct TextItem {
        int x;
        int y;
        std::string text;
        platform::FontSpec font;
        MarkColors colors;
        re::Rect clip;
    };
    std::map<uint32_t, std::vector<re::Rect>> fills_;
    std::map<uint32_t, Lines> lines_;
    std::vector<TextItem> texts_;
};

enum class MarkKind { EndOfText, LineEnd, LoneLf, Tab, Space, IdeographicSpace, Control };

// Where a mark goes: the character's position (x, y, client pixels) and its
// advance (0 at the end of the text), the mark's size (the width of a
// full-width square less two), and the area it must stay in.
struct MarkCell {
    int x;
    int y;
    int advance;
    int size;
    re::Rect bounds;
};

// Adds one mark. erase: only its cell, in the brush colour (the background).
void PaintMark(MarkBatch& batch, MarkKind kind, const MarkCell& cell, MarkColors colors, bool erase,
               char control = 0, const platform::FontSpec* font = nullptr);

}  // namespace kp::memo
