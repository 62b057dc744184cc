#include "tests/contract/PrintDeviceContract.h"

#include "app/TextPrinter.h"
#include "tests/TestPlatform.h"

#include <vector>

namespace kp::test {
namespace {

platform::FontSpec Gothic(int pixelHeight)
{
    platform::FontSpec font;
    font.face = "ＭＳ ゴシック";
    font.pixelHeight = pixelHeight;
    return font;
}

struct Drawn {
    int page, x, y;
    std::string bytes;
    bool operator==(const Drawn&) const = default;
};

void PrintTo(const Drawn& drawn, std::ostream* os)
{
    *os << "page " << drawn.page << " (" << drawn.x << "," << drawn.y << ") " << drawn.bytes;
}

// Passes everything on and notes where text went.
class TracingDevice final : public platform::PrintDevice {
public:
    explicit TracingDevice(platform::PrintDevice& inner) : inner_(inner) {}
    void BeginDoc(const std::string& title) override { inner_.BeginDoc(title); }
    void NewPage() override
    {
        inner_.NewPage();
        ++page_;
    }
    void EndDoc() override { inner_.EndDoc(); }
    void Abort() noexcept override { inner_.Abort(); }
    int PageWidth() const override { return inner_.PageWidth(); }
    int PageHeight() const override { return inner_.PageHeight(); }
    int DpiY() const override { return inner_.DpiY(); }
    void SetFont(const platform::FontSpec& font, uint32_t rgb) override { inner_.SetFont(font, rgb); }
    int CharHeight() const override { return inner_.CharHeight(); }
    int AverageCharWidth() const override { return inner_.AverageCharWidth(); }
    int CharWidth(uint16_t code) override { return inner_.CharWidth(code); }
    void Draw(int x, int y, std::string_view bytes) override
    {
        inner_.Draw(x, y, bytes);
        drawn.push_back({page_, x, y, std::string(bytes)});
    }
    std::vector<Drawn> drawn;

private:
    platform::PrintDevice& inner_;
    int page_ = 0;
};

TEST_P(PrintDeviceContract, MetricsFollowTheFontAndTheSubstituteIsOneCharacter)
{
    auto device = printer->Open();
    device->BeginDoc("metrics");
    EXPECT_GT(device->DpiY(), 0);
    device->SetFont(Gothic(device->DpiY() / 4), 0);
    const int height = device->CharHeight();
    const int half = device->CharWidth('a');
    const int full = device->CharWidth(0x82A0);  // あ
    EXPECT_GE(height, device->DpiY() / 4);
    EXPECT_GT(device->AverageCharWidth(), 0);
    EXPECT_GT(half, 0);
    EXPECT_GT(full, half);
    // The page holds many lines and characters of this font.
    EXPECT_GT(device->PageHeight(), 10 * height);
    EXPECT_GT(device->PageWidth(), 10 * full);
    // NUL, DEL and a byte that never decodes all show the same substitute.
    EXPECT_EQ(device->CharWidth(0x00), device->CharWidth(0x80));
    EXPECT_EQ(device->CharWidth(0x7F), device->CharWidth(0x80));
    EXPECT_GT(device->CharWidth(0x80), 0);

    device->SetFont(Gothic(device->DpiY() / 2), 0x0000FF);
    EXPECT_GT(device->CharHeight(), height);
    EXPECT_GT(device->CharWidth(0x82A0), full);
    device->EndDoc();
}

// The text printer gets the same pages and places from every device, given
// that device's metrics.
TEST_P(PrintDeviceContract, PrintsTheLaidOutPagesAtTheirPlaces)
{
    auto device = printer->Open();
    TracingDevice tracing(*device);
    app::TextPrinter textPrinter(tracing);
    const std::string text = TestCodec().FromUtf8("ab\tc\r\nあい\r\n\r\nd\fe\r\n\f");
    textPrinter.Begin("Kestrelpad", Gothic(20), 0);
    textPrinter.Write(text);
    textPrinter.End();

    const int h = device->CharHeight();
    const int tab = 8 * device->AverageCharWidth();
    const std::vector<Drawn> expected = {
        {0, 0, 0, "ab"}, {0, tab, 0, "c"}, {0, 0, h + 2, TestCodec().FromUtf8("あい")}, {0, 0, 2 * (h + 2) + h, "d"},
        {1, 0, 0, "e"},
    };
    EXPECT_EQ(tracing.drawn, expected);
    EXPECT_EQ(printer->PagesPrinted(), 2);
}

TEST_P(PrintDeviceContract, AnAbortedJobLeavesTheDeviceReusable)
{
    {
        auto device = printer->Open();
        device->BeginDoc("aborted");
        device->SetFont(Gothic(40), 0);
        device->Draw(0, 0, "never");
        device->Abort();
        device->Abort();  // twice does no harm
    }
    auto device = printer->Open();
    device->Abort();  // no job yet: nothing happens
    device->BeginDoc("after");
    device->SetFont(Gothic(40), 0);
    device->Draw(0, 0, "printed");
    device->EndDoc();
    EXPECT_EQ(printer->PagesPrinted(), 1);
}

}  // namespace
}  // namespace kp::test
