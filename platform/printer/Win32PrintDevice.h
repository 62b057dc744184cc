#pragma once
// The platform's printer: a print job on a printer device context
// (StartDocW, StartPage/EndPage, EndDoc, AbortDoc), text drawn with TextOutW
// after conversion from code page 932, measured with GetTextExtentPoint32W.
// The printable area is HORZRES x VERTRES, the resolution LOGPIXELSY.

#include "platform/printer/PrintDevice.h"

#include <windows.h>

#include <functional>
#include <string>

namespace kp::platform {

class Win32PrintDevice final : public PrintDevice {
public:
    // Takes over `dc` (deleted with the device). With `outputFile` (a Windows
    // path) the job is written there instead of to the printer's port.
    Win32PrintDevice(HDC dc, const Cp932Codec& codec, std::string outputFile = {});
    ~Win32PrintDevice() override;
    Win32PrintDevice(const Win32PrintDevice&) = delete;
    Win32PrintDevice& operator=(const Win32PrintDevice&) = delete;

    void BeginDoc(const std::string& title) override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() noexcept override;
    int PageWidth() const override;
    int PageHeight() const override;
    int DpiY() const override;
    void SetFont(const FontSpec& font, uint32_t rgb) override;
    int CharHeight() const override { return charHeight_; }
    int AverageCharWidth() const override { return averageWidth_; }
    int CharWidth(uint16_t code) override;
    void Draw(int x, int y, std::string_view bytes) override;

    // Pages started in the current or last job.
    int PagesStarted() const { return pages_; }

private:
    HDC dc_;
    const Cp932Codec& codec_;
    std::string outputFile_;
    HFONT font_ = nullptr;
    HGDIOBJ initialFont_ = nullptr;
    int charHeight_ = 0;
    int averageWidth_ = 0;
    int pages_ = 0;
    bool running_ = false;
    bool pageOpen_ = false;
};

// Opens a device on the printer context the print dialog returned, and shows
// the wait cursor while asked to.
class Win32PrintDeviceFactory final : public PrintDeviceFactory {
public:
    // `takeDC` hands over the printer context of the last print dialog, or
    // nullptr when there is none.
    Win32PrintDeviceFactory(std::function<HDC()> takeDC, const Cp932Codec& codec)
        : takeDC_(std::move(takeDC)), codec_(codec)
    {
    }
    std::unique_ptr<PrintDevice> Open() override;
    void SetBusy(bool busy) override;

private:
    std::function<HDC()> takeDC_;
    const Cp932Codec& codec_;
    HCURSOR previous_ = nullptr;
    int busyDepth_ = 0;
};

}  // namespace kp::platform
