#pragma once
// A printer for tests: it keeps each job's pages and every text drawn on them
// with its place and font, and can be told to fail.
//
// Documented metrics, for a font of pixel height h: character height h,
// half width (h + 1) / 2 for ASCII and half-width katakana, twice that for
// every other character (double-byte characters, and the substitute U+FFFD
// drawn for control bytes and bytes that do not decode); the average width is
// the half width. The printable area and resolution are set by the test.

#include "platform/printer/PrintDevice.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace kp::platform {

struct SimDrawnText {
    int x = 0;
    int y = 0;
    std::string bytes;
    FontSpec font;
    uint32_t rgb = 0;
    bool busy = false;  // the factory's wait cursor was showing
};

struct SimPrintJob {
    std::string title;
    std::vector<std::vector<SimDrawnText>> pages;  // one entry per page started
    bool ended = false;
    bool aborted = false;
    // How often each character code was measured.
    std::map<uint16_t, int> widthQueries;
};

enum class SimPrintFailure { None, BeginDoc, NewPage, Draw, EndDoc };

class SimPrintDevice final : public PrintDevice {
public:
    struct Setup {
        int pageWidth = 600;
        int pageHeight = 800;
        int dpi = 96;
        SimPrintFailure failure = SimPrintFailure::None;
        const bool* busy = nullptr;
    };
    SimPrintDevice(Setup setup, SimPrintJob& job) : setup_(setup), job_(job) {}

    void BeginDoc(const std::string& title) override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() noexcept override;
    int PageWidth() const override { return setup_.pageWidth; }
    int PageHeight() const override { return setup_.pageHeight; }
    int DpiY() const override { return setup_.dpi; }
    void SetFont(const FontSpec& font, uint32_t rgb) override;
    int CharHeight() const override { return font_.pixelHeight; }
    int AverageCharWidth() const override { return HalfWidth(); }
    int CharWidth(uint16_t code) override;
    void Draw(int x, int y, std::string_view bytes) override;

private:
    int HalfWidth() const { return (font_.pixelHeight + 1) / 2; }
    void Check(SimPrintFailure step) const;

    Setup setup_;
    SimPrintJob& job_;
    FontSpec font_;
    uint32_t rgb_ = 0;
    bool running_ = false;
};

class SimPrintDeviceFactory final : public PrintDeviceFactory {
public:
    std::unique_ptr<PrintDevice> Open() override;
    void SetBusy(bool busy) override { busy_ = busy; }
    bool Busy() const { return busy_; }

    // The printer the next jobs go to; `unreachable` makes Open fail.
    SimPrintDevice::Setup setup;
    bool unreachable = false;
    // Every job opened, in order.
    const std::deque<SimPrintJob>& Jobs() const { return jobs_; }

private:
    std::deque<SimPrintJob> jobs_;
    bool busy_ = false;
};

}  // namespace kp::platform
