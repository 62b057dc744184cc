#include "platform/printer/Win32PrintDevice.h"

#include "base/Error.h"
#include "base/Utf.h"
#include "platform/textmetrics/Win32Font.h"

#include <algorithm>

namespace kp::platform {

namespace {

std::wstring Wide(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

[[noreturn]] void Fail(const char* step)
{
    throw Error(std::string("The printer refused ") + step + ".");
}

}  // namespace

Win32PrintDevice::Win32PrintDevice(HDC dc, const Cp932Codec& codec, std::string outputFile)
    : dc_(dc), codec_(codec), outputFile_(std::move(outputFile))
{
    if (!dc_) throw Error("No printer was chosen.");
    initialFont_ = GetCurrentObject(dc_, OBJ_FONT);
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

Win32PrintDevice::~Win32PrintDevice()
{
    Abort();
    if (initialFont_) SelectObject(dc_, initialFont_);
    if (font_) DeleteObject(font_);
    DeleteDC(dc_);
}

void Win32PrintDevice::BeginDoc(const std::string& title)
{
    const std::wstring name = Wide(title);
    const std::wstring output = Wide(outputFile_);
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    info.lpszOutput = output.empty() ? nullptr : output.c_str();
    pages_ = 0;
    if (StartDocW(dc_, &info) <= 0) Fail("the job");
    running_ = true;
    if (StartPage(dc_) <= 0) Fail("a page");
    pageOpen_ = true;
    ++pages_;
}

void Win32PrintDevice::NewPage()
{
    if (!running_) Fail("a page outside a job");
    pageOpen_ = false;
    if (EndPage(dc_) <= 0) Fail("to end a page");
    if (StartPage(dc_) <= 0) Fail("a page");
    pageOpen_ = true;
    ++pages_;
}

void Win32PrintDevice::EndDoc()
{
    if (!running_) Fail("to end a job that is not running");
    if (pageOpen_) {
        pageOpen_ = false;
        if (EndPage(dc_) <= 0) Fail("to end a page");
    }
    if (::EndDoc(dc_) <= 0) Fail("to end the job");
    running_ = false;
}

void Win32PrintDevice::Abort() noexcept
{
    if (!running_) return;
    running_ = false;
    pageOpen_ = false;
    AbortDoc(dc_);
}

int Win32PrintDevice::PageWidth() const { return GetDeviceCaps(dc_, HORZRES); }
int Win32PrintDevice::PageHeight() const { return GetDeviceCaps(dc_, VERTRES); }
int Win32PrintDevice::DpiY() const { return GetDeviceCaps(dc_, LOGPIXELSY); }

void Win32PrintDevice::SetFont(const FontSpec& spec, uint32_t rgb)
{
    const LOGFONTW logFont = LogFontOf(spec);
    HFONT font = CreateFontIndirectW(&logFont);
    if (!font) Fail("the font");
    if (!SelectObject(dc_, font)) {
        DeleteObject(font);
        Fail("the font");
    }
    if (font_) DeleteObject(font_);
    font_ = font;
    SetTextColor(dc_, static_cast<COLORREF>(rgb));
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc_, &metrics)) Fail("the font's metrics");
    charHeight_ = metrics.tmHeight;
    averageWidth_ = metrics.tmAveCharWidth;
}

int Win32PrintDevice::CharWidth(uint16_t code)
{
    const std::u16string glyphs = PrintGlyphs(codec_, CodeBytes(code));
    SIZE size{};
    if (glyphs.empty() ||
        !GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(glyphs.data()), static_cast<int>(glyphs.size()),
                               &size))
        return 0;
    return size.cx;
}

void Win32PrintDevice::Draw(int x, int y, std::string_view bytes)
{
    const std::u16string glyphs = PrintGlyphs(codec_, bytes);
    for (size_t done = 0; done < glyphs.size();) {
        // GDI takes counts of int; long runs go in pieces, each placed after
        // the extent of what came before it.
        const size_t count = std::min<size_t>(glyphs.size() - done, 8192);
        const auto* text = reinterpret_cast<const wchar_t*>(glyphs.data() + done);
        if (!TextOutW(dc_, x, y, text, static_cast<int>(count))) Fail("to draw text");
        done += count;
        if (done < glyphs.size()) {
            SIZE size{};
            GetTextExtentPoint32W(dc_, text, static_cast<int>(count), &size);
            x += size.cx;
        }
    }
}

std::unique_ptr<PrintDevice> Win32PrintDeviceFactory::Open()
{
    HDC dc = takeDC_ ? takeDC_() : nullptr;
    if (!dc) throw Error("No printer was chosen.");
    return std::make_unique<Win32PrintDevice>(dc, codec_);
}

void Win32PrintDeviceFactory::SetBusy(bool busy)
{
    if (busy) {
        if (busyDepth_++ == 0) previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW));
    }
}

}  // namespace kp::platform
