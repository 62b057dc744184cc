#pragma once
// A printer as the text printer sees it: one print job of pages on which text
// is drawn in one font, in device units (the printer's dots) from the top-left
// corner of the printable area.
//
// Text reaches the device as code-page-932 bytes. A character is one byte, or
// a lead byte with its trail byte (the rule of base/Cp932.h); control bytes
// (below 0x20 and 0x7F) and bytes that do not decode are drawn and measured as
// U+FFFD, the substitute the memo shows for them. Callers place tabs, line
// ends and page breaks themselves: the device never sees them as layout.
//
// Failures of the platform (a job refused, a port that cannot be written, a
// printer gone) throw kp::Error. After a failure the caller calls Abort.

#include "platform/textmetrics/TextMetrics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kp::platform {

class Cp932Codec;

class PrintDevice {
public:
    virtual ~PrintDevice() = default;

    // Starts the job, named `title` (UTF-8), and its first page.
    virtual void BeginDoc(const std::string& title) = 0;
    // Ends the current page and starts the next.
    virtual void NewPage() = 0;
    // Ends the last page and the job.
    virtual void EndDoc() = 0;
    // Ends the job without printing what is pending; never throws. Nothing
    // happens when no job is running.
    virtual void Abort() noexcept = 0;

    // The printable area in device units, and the printer's vertical
    // resolution in dots per inch (screen fonts are sized for 96).
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int DpiY() const = 0;

    // The font for the text that follows: font.pixelHeight is in device units
    // already. `rgb` is 0x00BBGGRR.
    virtual void SetFont(const FontSpec& font, uint32_t rgb) = 0;
    // The font's character cell height and average character width.
    virtual int CharHeight() const = 0;
    virtual int AverageCharWidth() const = 0;
    // The advance of one character: `code` is a single byte (0x00-0xFF) or a
    // lead byte times 256 plus its trail byte.
    virtual int CharWidth(uint16_t code) = 0;
    // Draws `bytes` with its top-left corner at (x, y).
    virtual void Draw(int x, int y, std::string_view bytes) = 0;
};

// Opens the device of the printer the last print dialog chose. Busy shows the
// platform's wait cursor while a job is laid out and sent.
class PrintDeviceFactory {
public:
    virtual ~PrintDeviceFactory() = default;
    // Throws kp::Error when the printer cannot be reached.
    virtual std::unique_ptr<PrintDevice> Open() = 0;
    virtual void SetBusy(bool busy) = 0;
};

// The UTF-16 text a device draws for code-page-932 bytes: decoded, with
// control characters as U+FFFD.
std::u16string PrintGlyphs(const Cp932Codec& codec, std::string_view bytes);
// The bytes of a character code as CharWidth takes it.
std::string CodeBytes(uint16_t code);

}  // namespace kp::platform
