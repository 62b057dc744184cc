#pragma once
// The main window's services, simulated, for benchmarks that drive the whole
// form. Files are simulated unless the benchmark brings its own (a real
// folder, say).

#include "app/MainForm.h"
#include "memo/SimMemoWindow.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keyboard/KeyState.h"
#include "platform/help/SimHelpViewer.h"
#include "platform/printer/SimPrintDevice.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/SimSysColors.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimFormHost.h"
#include "ui/sim/SimFormService.h"
#include "ui/sim/SimMessageDialogs.h"

#include <string>

namespace kp::bench {

struct SimServices {
    explicit SimServices(platform::FileSystem* ownFiles = nullptr)
        : memoWindows(codec, &clipboard, keys),
          services{registry, ownFiles ? *ownFiles : files, keyNames, keys, colors, application, dialogs, host,
                   memoWindows, locale, [](const std::string& path) { return "C:\\" + path; }, "C:\\", clock,
                   dateLocale, clipboard, codec, forms, printers, help,
                   nullptr}
    {
        files.CreateFolder("C:\\");
    }
    SimServices(const SimServices&) = delete;
    SimServices& operator=(const SimServices&) = delete;

    platform::IconvCp932Codec codec;
    platform::SimFileSystem files;
    platform::SimRegistry registry;
    platform::SimKeyNames keyNames;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    platform::SimClipboard clipboard;
    ui::SimMessageDialogs messages;
    ui::SimFormHost host;
    ui::TApplication application{host, messages};
    ui::SimDialogService dialogs;
    memo::SimMemoWindowFactory memoWindows;
    platform::SimLocaleCompare locale;
    platform::SimClock clock;
    platform::SimDateTimeLocale dateLocale;
    ui::SimFormService forms;
    platform::SimPrintDeviceFactory printers;
    platform::SimHelpViewer help;
    app::FormServices services;
};

}  // namespace kp::bench
