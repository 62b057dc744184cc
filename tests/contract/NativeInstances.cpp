// The contract suites, natively: against the simulated platform.

#include "platform/codec/IconvCp932Codec.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/SimSysColors.h"
#include "tests/contract/Cp932CodecContract.h"
#include "tests/contract/RegIniFileContract.h"
#include "tests/contract/RegistryContract.h"
#include "tests/contract/SysColorsContract.h"

namespace kp::test {

using platform::Cp932Codec;
using platform::Registry;
using platform::SysColors;

const Implementation<Registry> kSimRegistry{
    "Sim", [] { return std::make_unique<platform::SimRegistry>(); }};

KP_CONTRACT_INSTANCES(RegistryContract, Registry, kSimRegistry);
KP_CONTRACT_INSTANCES(RegIniFileContract, Registry, kSimRegistry);
KP_CONTRACT_INSTANCES(Cp932CodecContract, Cp932Codec,
                      Implementation<Cp932Codec>{
                          "Iconv", [] { return std::make_unique<platform::IconvCp932Codec>(); }});
KP_CONTRACT_INSTANCES(SysColorsContract, SysColors,
                      Implementation<SysColors>{
                          "Sim", [] { return std::make_unique<platform::SimSysColors>(); }});

}  // namespace kp::test
