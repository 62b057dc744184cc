// The contract suites, natively: against the simulated platform.

#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/SimSysColors.h"
#include "platform/textmetrics/SimTextMetrics.h"
#include "tests/contract/CanvasContract.h"
#include "tests/contract/ClipboardContract.h"
#include "tests/contract/ClockContract.h"
#include "tests/contract/ShellViewsContract.h"
#include "tests/contract/SimViewStages.h"
#include "tests/contract/Cp932CodecContract.h"
#include "tests/contract/DateTimeLocaleContract.h"
#include "tests/contract/FileSystemContract.h"
#include "tests/contract/FormControlsContract.h"
#include "tests/contract/KeyNamesContract.h"
#include "tests/contract/LocaleCompareContract.h"
#include "tests/contract/PrintDeviceContract.h"
#include "tests/contract/RegIniFileContract.h"
#include "tests/contract/RegistryContract.h"
#include "tests/contract/ShellNamespaceContract.h"
#include "tests/contract/SysColorsContract.h"
#include "tests/contract/TextMetricsContract.h"

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
KP_CONTRACT_INSTANCES(ClipboardContract, platform::Clipboard,
                      Implementation<platform::Clipboard>{
                          "Sim", [] { return std::make_unique<platform::SimClipboard>(); }});
KP_CONTRACT_INSTANCES(TextMetricsContract, platform::TextMetrics,
                      Implementation<platform::TextMetrics>{
                          "Sim", [] { return std::make_unique<platform::SimTextMetrics>(); }});
KP_CONTRACT_INSTANCES(FileSystemContract, FileSystemUnderTest,
                      FilesUnderTest<platform::SimFileSystem>("Sim", [] { return "C:\\scratch"; }));
KP_CONTRACT_INSTANCES(KeyNamesContract, platform::KeyNames,
                      Implementation<platform::KeyNames>{
                          "Sim", [] { return std::make_unique<platform::SimKeyNames>(); }});
KP_CONTRACT_INSTANCES(LocaleCompareContract, platform::LocaleCompare,
                      Implementation<platform::LocaleCompare>{
                          "Sim", [] { return std::make_unique<platform::SimLocaleCompare>(); }});
KP_CONTRACT_INSTANCES(PrintDeviceContract, PrintDeviceUnderTest, kSimPrinter);
KP_CONTRACT_INSTANCES(ClockContract, platform::Clock,
                      Implementation<platform::Clock>{
                          "Sim", [] { return std::make_unique<platform::SimClock>(); }});
KP_CONTRACT_INSTANCES(DateTimeLocaleContract, platform::DateTimeLocale,
                      Implementation<platform::DateTimeLocale>{
                          "Sim", [] { return std::make_unique<platform::SimDateTimeLocale>(); }});

KP_CONTRACT_INSTANCES(CanvasContract, CanvasSurface, Implementation<CanvasSurface>{"Sim", MakeSimCanvasSurface});
KP_CONTRACT_INSTANCES(ShellNamespaceContract, ShellUnderTest,
                      Implementation<ShellUnderTest>{
                          "Sim", [] { return std::make_unique<ShellUnderTest>(SimShellUnderTest()); }});
KP_CONTRACT_INSTANCES(TreeViewContract, TreeViewStage,
                      Implementation<TreeViewStage>{"Sim", [] { return std::make_unique<SimTreeViewStage>(); }});
KP_CONTRACT_INSTANCES(ListViewContract, ListViewStage,
                      Implementation<ListViewStage>{"Sim", [] { return std::make_unique<SimListViewStage>(); }});
KP_CONTRACT_INSTANCES(FormControlsContract, FormStage,
                      Implementation<FormStage>{"Sim", [] { return std::make_unique<SimFormStage>(); }});
KP_CONTRACT_INSTANCES(ComboBoxContract, ComboBoxStage,
                      Implementation<ComboBoxStage>{"Sim", [] { return std::make_unique<SimComboBoxStage>(); }});
KP_CONTRACT_INSTANCES(ShellViewsContract, ShellViewStages,
                      ShellStages<SimTreeViewStage, SimListViewStage, SimComboBoxStage>("Sim"));

}  // namespace kp::test
