#include "memo/MarkPainter.h"

#include <algorithm>

namespace kp::memo {

namespace {

re::Rect Intersect(const re::Rect& a, const re::Rect& b)
{
    return re::Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const re::Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

// Where each face sits from the character's position, and how wide it is.
struct Face {
    int dx;
    int dy;
    int width;
};

Face FaceOf(MarkKind kind, const MarkCell& cell)
{
    const int s = cell.size;
    switch (kind) {
    case MarkKind::EndOfText: return {1, 1, s};
    case MarkKind::LineEnd:
    case MarkKind::LoneLf: return {1, 2, s / 2 + 1};
    case MarkKind::Tab: return {1, 1, s / 2};
    case MarkKind::Space: return {1, 2, std::max(cell.advance - 1, 2)};
    case MarkKind::IdeographicSpace: return {0, 1, s};
    case MarkKind::Control: return {1, 1, s / 2 + 1};
    }
    return {0, 0, 0};
}

}  // namespace

void MarkBatch::Fill(const re::Rect& rect, uint32_t rgb)
{
    if (!IsEmpty(rect)) fills_[rgb].push_back(rect);
}

void MarkBatch::Line(std::initializer_list<re::PointL> points, uint32_t rgb, const re::Rect& clip)
{
    if (IsEmpty(clip) || points.size() < 2) return;
    Lines& lines = lines_[rgb];
    for (const re::PointL& p : points)
        lines.points.push_back(re::PointL{std::clamp(p.x, clip.left, clip.right - 1),
                                          std::clamp(p.y, clip.top, clip.bottom - 1)});
    lines.counts.push_back(static_cast<uint32_t>(points.size()));
}

void MarkBatch::Text(int x, int y, std::string text, const platform::FontSpec& font, MarkColors colors,
                     const re::Rect& clip)
{
    if (!IsEmpty(clip)) texts_.push_back(TextItem{x, y, std::move(text), font, colors, clip});
}

void MarkBatch::Draw(CanvasDevice& device)
{
    for (const auto& [rgb, rects] : fills_) device.Fill(rects, rgb);
    for (const auto& [rgb, lines] : lines_) device.Polylines(lines.points, lines.counts, rgb);
    for (const TextItem& item : texts_)
        device.Text(item.x, item.y, item.text, item.font, item.colors.text, item.colors.brush, item.clip);
    fills_.clear();
    lines_.clear();
    texts_.clear();
}

void PaintMark(MarkBatch& batch, MarkKind kind, const MarkCell& cell, MarkColors colors, bool erase, char control,
               const platform::FontSpec* font)
{
    const int s = std::max(cell.size, 4);
    const Face face = FaceOf(kind, cell);
    const int ox = cell.x + face.dx;
    const int oy = cell.y + face.dy;
    re::Rect box{ox, oy, ox + face.width, oy + s};
    // A mark stays on its own character.
    if (cell.advance > 0) box.right = std::min(box.right, cell.x + cell.advance);
    box = Intersect(box, cell.bounds);
    if (IsEmpty(box)) return;
    batch.Fill(box, colors.brush);
    if (erase) return;
    const uint32_t ink = colors.text;
    switch (kind) {
    case MarkKind::EndOfText: {
        const int mid = oy + s / 2;
        const int head = s / 3;
        batch.Line({{ox + 1, mid}, {ox + s - 2, mid}}, ink, box);
        batch.Line({{ox + 1 + head, mid - head}, {ox + 1, mid}, {ox + 1 + head, mid + head}}, ink, box);
        break;
    }
    case MarkKind::LineEnd:
    case MarkKind::LoneLf: {
        const int cx = ox + face.width / 2;
        const int bottom = oy + s - 2;
        const int top = kind == MarkKind::LineEnd ? oy + 1 : oy + s / 2;
        const int head = std::max(1, s / 4);
        batch.Line({{cx, top}, {cx, bottom}}, ink, box);
        batch.Line({{cx - head, bottom - head}, {cx, bottom}, {cx + head, bottom - head}}, ink, box);
        break;
    }
    case MarkKind::Tab: {
        const int reach = std::max(1, s / 4);
        batch.Line({{ox + 1, oy + s / 4}, {ox + 1 + reach, oy + s / 2}, {ox + 1, oy + s * 3 / 4}}, ink, box);
        break;
    }
    case MarkKind::Space: {
        const int bottom = oy + s - 3;
        const int right = ox + face.width - 2;
        const int rise = std::max(1, s / 4);
        batch.Line({{ox, bottom - rise}, {ox, bottom}, {right, bottom}, {right, bottom - rise}}, ink, box);
        break;
    }
    case MarkKind::IdeographicSpace:
        batch.Line({{ox + 1, oy + 1}, {ox + s - 2, oy + 1}, {ox + s - 2, oy + s - 2}, {ox + 1, oy + s - 2},
                    {ox + 1, oy + 1}},
                   ink, box);
        break;
    case MarkKind::Control:
        if (font) {
            platform::FontSpec letterFont = *font;
            letterFont.pixelHeight = s;
            batch.Text(ox, oy, std::string(1, control), letterFont, colors, box);
        }
        break;
    }
}

}  // namespace kp::memo
