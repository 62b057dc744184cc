#include "platform/printer/SimPrintDevice.h"

#include "base/Cp932.h"
#include "base/Error.h"

#include <stdexcept>

namespace kp::platform {

void SimPrintDevice::Check(SimPrintFailure step) const
{
    if (setup_.failure == step) throw Error("The printer does not answer.");
}

void SimPrintDevice::BeginDoc(const std::string& title)
{
    if (running_) throw std::logic_error("a job is running already");
    Check(SimPrintFailure::BeginDoc);
    job_.title = title;
    job_.pages.emplace_back();
    running_ = true;
}

void SimPrintDevice::NewPage()
{
    if (!running_) throw std::logic_error("no job is running");
    Check(SimPrintFailure::NewPage);
    job_.pages.emplace_back();
}

void SimPrintDevice::EndDoc()
{
    if (!running_) throw std::logic_error("no job is running");
    Check(SimPrintFailure::EndDoc);
    running_ = false;
    job_.ended = true;
}

void SimPrintDevice::Abort() noexcept
{
    if (!running_) return;
    running_ = false;
    job_.aborted = true;
}

void SimPrintDevice::SetFont(const FontSpec& font, uint32_t rgb)
{
    if (font.pixelHeight < 1) throw Error("The printer has no such font.");
    font_ = font;
    rgb_ = rgb;
}

int SimPrintDevice::CharWidth(uint16_t code)
{
    ++job_.widthQueries[code];
    const bool half = code <= 0xFF && cp932::IsSingleByteChar(static_cast<uint8_t>(code)) && code >= 0x20 &&
                      code != 0x7F;
    return half ? HalfWidth() : 2 * HalfWidth();
}

void SimPrintDevice::Draw(int x, int y, std::string_view bytes)
{
    if (!running_) throw std::logic_error("no job is running");
    Check(SimPrintFailure::Draw);
    job_.pages.back().push_back({x, y, std::string(bytes), font_, rgb_, setup_.busy && *setup_.busy});
}

std::unique_ptr<PrintDevice> SimPrintDeviceFactory::Open()
{
    if (unreachable) throw Error("The printer cannot be reached.");
    SimPrintDevice::Setup chosen = setup;
    chosen.busy = &busy_;
    return std::make_unique<SimPrintDevice>(chosen, jobs_.emplace_back());
}

}  // namespace kp::platform
