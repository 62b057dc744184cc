// The contract suites under Wine or Windows: against the real platform, and
// against the simulation in the same run.

#include "platform/clipboard/SimClipboard.h"
#include "platform/clipboard/Win32Clipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/clock/Win32Clock.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/files/Win32FileSystem.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/keynames/Win32KeyNames.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "platform/registry/Win32Registry.h"
#include "platform/syscolors/SimSysColors.h"
#include "platform/syscolors/Win32SysColors.h"
#include "platform/textmetrics/SimTextMetrics.h"
#include "platform/textmetrics/Win32TextMetrics.h"
#include "tests/contract/ClipboardContract.h"
#include "tests/contract/ClockContract.h"
#include "tests/contract/SimViewStages.h"
#include "tests/contract/Win32ViewStages.h"
#include "tests/contract/Cp932CodecContract.h"
#include "tests/contract/DateTimeLocaleContract.h"
#include "tests/contract/FileSystemContract.h"
#include "tests/contract/KeyNamesContract.h"
#include "tests/contract/LocaleCompareContract.h"
#include "tests/contract/RegIniFileContract.h"
#include "tests/contract/RegistryContract.h"
#include "tests/contract/SysColorsContract.h"
#include "tests/contract/TextMetricsContract.h"

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
KP_CONTRACT_INSTANCES(ClipboardContract, platform::Clipboard,
                      Implementation<platform::Clipboard>{
                          "Win32", [] { return std::make_unique<platform::Win32Clipboard>(); }},
                      Implementation<platform::Clipboard>{
                          "Sim", [] { return std::make_unique<platform::SimClipboard>(); }});
KP_CONTRACT_INSTANCES(TextMetricsContract, platform::TextMetrics,
                      Implementation<platform::TextMetrics>{
                          "Win32", [] { return std::make_unique<platform::Win32TextMetrics>(); }},
                      Implementation<platform::TextMetrics>{
                          "Sim", [] { return std::make_unique<platform::SimTextMetrics>(); }});
KP_CONTRACT_INSTANCES(FileSystemContract, FileSystemUnderTest,
                      FilesUnderTest<platform::Win32FileSystem>("Win32", [] {
                          return platform::JoinPath(platform::Win32FileSystem::TempFolder(),
                                                    UniqueScratchName());
                      }),
                      FilesUnderTest<platform::SimFileSystem>("Sim", [] { return "C:\\scratch"; }));
KP_CONTRACT_INSTANCES(KeyNamesContract, platform::KeyNames,
                      Implementation<platform::KeyNames>{
                          "Win32", [] { return std::make_unique<platform::Win32KeyNames>(); }},
                      Implementation<platform::KeyNames>{
                          "Sim", [] { return std::make_unique<platform::SimKeyNames>(); }});
KP_CONTRACT_INSTANCES(LocaleCompareContract, platform::LocaleCompare,
                      Implementation<platform::LocaleCompare>{
                          "Win32", [] { return std::make_unique<platform::Win32LocaleCompare>(); }},
                      Implementation<platform::LocaleCompare>{
                          "Sim", [] { return std::make_unique<platform::SimLocaleCompare>(); }});
KP_CONTRACT_INSTANCES(ClockContract, platform::Clock,
                      Implementation<platform::Clock>{
                          "Win32", [] { return std::make_unique<platform::Win32Clock>(); }},
                      Implementation<platform::Clock>{
                          "Sim", [] { return std::make_unique<platform::SimClock>(); }});
KP_CONTRACT_INSTANCES(DateTimeLocaleContract, platform::DateTimeLocale,
                      Implementation<platform::DateTimeLocale>{
                          "Win32", [] { return std::make_unique<platform::Win32DateTimeLocale>(); }},
                      Implementation<platform::DateTimeLocale>{
                          "Sim", [] { return std::make_unique<platform::SimDateTimeLocale>(); }});

KP_CONTRACT_INSTANCES(TreeViewContract, TreeViewStage,
                      Implementation<TreeViewStage>{"Win32", [] { return std::make_unique<Win32TreeViewStage>(); }},
                      Implementation<TreeViewStage>{"Sim", [] { return std::make_unique<SimTreeViewStage>(); }});
KP_CONTRACT_INSTANCES(ListViewContract, ListViewStage,
                      Implementation<ListViewStage>{"Win32", [] { return std::make_unique<Win32ListViewStage>(); }},
                      Implementation<ListViewStage>{"Sim", [] { return std::make_unique<SimListViewStage>(); }});
KP_CONTRACT_INSTANCES(ComboBoxContract, ComboBoxStage,
                      Implementation<ComboBoxStage>{"Win32", [] { return std::make_unique<Win32ComboBoxStage>(); }},
                      Implementation<ComboBoxStage>{"Sim", [] { return std::make_unique<SimComboBoxStage>(); }});

}  // namespace kp::test
