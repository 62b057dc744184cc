// The contract suites under Wine or Windows: against the real platform, and
// against the simulation in the same run.

#include "platform/codec/Win32Cp932Codec.h"
#include "platform/registry/SimRegistry.h"
#include "platform/registry/Win32Registry.h"
#include "platform/syscolors/SimSysColors.h"
#include "platform/syscolors/Win32SysColors.h"
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
const Implementation<Registry> kWin32Registry{
    "Win32", [] { return std::make_unique<platform::Win32Registry>(); }};

KP_CONTRACT_INSTANCES(RegistryContract, Registry, kWin32Registry, kSimRegistry);
KP_CONTRACT_INSTANCES(RegIniFileContract, Registry, kWin32Registry, kSimRegistry);
KP_CONTRACT_INSTANCES(Cp932CodecContract, Cp932Codec,
                      Implementation<Cp932Codec>{
                          "Win32", [] { return std::make_unique<platform::Win32Cp932Codec>(); }});
KP_CONTRACT_INSTANCES(SysColorsContract, SysColors,
                      Implementation<SysColors>{
                          "Win32", [] { return std::make_unique<platform::Win32SysColors>(); }},
                      Implementation<SysColors>{
                          "Sim", [] { return std::make_unique<platform::SimSysColors>(); }});

}  // namespace kp::test
