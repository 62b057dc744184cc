#pragma once
// A main window over simulated services, with helpers to plant settings and
// files and to drive the close path.

#include "app/MainForm.h"

#include "memo/SimMemoWindow.h"
#include "memo/TextFile.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keyboard/KeyState.h"
#include "platform/help/SimHelpViewer.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/printer/SimPrintDevice.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/SimSysColors.h"
#include "settings/SettingsKeys.h"
#include "tests/TestPlatform.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimFormHost.h"
#include "ui/sim/SimFormService.h"
#include "ui/sim/SimMessageDialogs.h"

#include <gtest/gtest.h>

namespace kp::app {

constexpr const char* kKey = "Software\\Tamarind\\Kestrelpad";

class MainFormFixture : public ::testing::Test {
protected:
    MainFormFixture()
        : memoWindows(test::TestCodec(), &clipboard, keys),
          services{registry, files, keyNames, keys,  colors, application, dialogs, host, memoWindows, locale,
                   [](const std::string& path) { return path.find(':') == std::string::npos ? "C:\\work\\" + path : path; },
                   "C:\\Program Files\\Kestrelpad\\", clock, dateLocale, clipboard, test::TestCodec(), forms, printers, help,
                   nullptr}
    {
        application.SetTitle("Kestrelpad");
        files.CreateFolder("C:\\work");
        files.CreateFolder("C:\\docs");
        files.CreateFolder("C:\\Program Files");
        files.CreateFolder("C:\\Program Files\\Kestrelpad");
    }

    // Settings as another run left them.
    void Stored(std::string_view section, std::string_view ident, std::string_view value)
    {
        TRegIniFile(registry, kKey).WriteString(section, ident, value);
    }
    std::string Read(std::string_view section, std::string_view ident)
    {
        return TRegIniFile(registry, kKey).ReadString(section, ident, "(missing)");
    }
    void File(const std::string& path, std::string_view bytes)
    {
        memo::SaveTextFile(files, path, bytes);
    }
    std::string Contents(const std::string& path)
    {
        std::string bytes;
        if (files.ReadAll(path, bytes) != platform::FileStatus::Ok) return "(missing)";
        return bytes;
    }
    bool Exists(const std::string& path) { return files.Query(path).exists; }

    TEditForm& Start(std::vector<std::string> arguments = {})
    {
        form = std::make_unique<TEditForm>(services, host);
        form->FormCreate(arguments);
        form->FormShow();
        return *form;
    }
    // Asks the window to close; true when it closes.
    bool Close()
    {
        bool canClose = false;
        form->FormCloseQuery(canClose);
        ui::TCloseAction action = ui::TCloseAction::caFree;
        if (canClose) form->FormClose(action);
        return canClose && action != ui::TCloseAction::caNone;
    }
    void Type(std::string_view text)
    {
        for (char c : text) form->Memo.Perform(memo::wm::kChar, static_cast<uint8_t>(c), 0);
    }
    // The recent files, newest first.
    std::vector<std::string> History() const { return form->HistoryMenu1.List().Names(); }
    std::string ShortCutOf(std::string_view key)
    {
        return ShortCutText(form->MenuItem(key)->ShortCut(), keyNames);
    }

    platform::SimRegistry registry;
    platform::SimFileSystem files;
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
    FormServices services;
    std::unique_ptr<TEditForm> form;
};


}  // namespace kp::app
