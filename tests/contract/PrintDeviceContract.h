#pragma once

#include "platform/printer/SimPrintDevice.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// A printer device together with a look at what its jobs produced.
class PrintDeviceUnderTest {
public:
    virtual ~PrintDeviceUnderTest() = default;
    // A fresh device on the printer (each call a new one, as each print
    // command opens one).
    virtual std::unique_ptr<platform::PrintDevice> Open() = 0;
    // The pages of the last finished job's output; 0 when nothing was printed.
    virtual int PagesPrinted() = 0;
};

// The simulated printer: a page of 1200 x 1600 dots at 160 DPI.
class SimPrinterUnderTest final : public PrintDeviceUnderTest {
public:
    SimPrinterUnderTest() { factory_.setup = {1200, 1600, 160, platform::SimPrintFailure::None, nullptr}; }
    std::unique_ptr<platform::PrintDevice> Open() override { return factory_.Open(); }
    int PagesPrinted() override
    {
        const auto& jobs = factory_.Jobs();
        return !jobs.empty() && jobs.back().ended ? static_cast<int>(jobs.back().pages.size()) : 0;
    }

private:
    platform::SimPrintDeviceFactory factory_;
};

inline const Implementation<PrintDeviceUnderTest> kSimPrinter{
    "Sim", [] { return std::make_unique<SimPrinterUnderTest>(); }};

class PrintDeviceContract : public ::testing::TestWithParam<Implementation<PrintDeviceUnderTest>> {
protected:
    void SetUp() override { printer = GetParam().make(); }
    std::unique_ptr<PrintDeviceUnderTest> printer;
};

}  // namespace kp::test
