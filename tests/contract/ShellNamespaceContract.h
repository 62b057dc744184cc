#pragma once

#include "platform/files/FileSystem.h"
#include "platform/shell/ShellNamespace.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// A shell namespace, the file system it shows and the folder the tests work
// in (made fresh before each test through the file system), with what the
// platform under test is known to do differently.
struct ShellUnderTest {
    std::unique_ptr<platform::FileSystem> files;
    std::unique_ptr<platform::ShellNamespace> shell;
    std::string scratch;
    // Makes a shortcut file at path leading to target (the platform's own
    // shortcut object on Win32); false when it cannot.
    std::function<bool(const std::string& path, const std::string& target)> makeShortcut;
    bool linkAttribute = true;  // GetAttributesOf reports links
    // Every file-system folder reports having subfolders, empty or not.
    bool subfolderAlways = false;
    // A rename that changes only letter case keeps the old spelling.
    bool caseKept = false;
    // A file's context menu holds a Send To submenu ("送る(&N)").
    bool sendToMenu = true;
};

// The simulation over its own file system, scratch folder "C:\\scratch".
ShellUnderTest SimShellUnderTest();

class ShellNamespaceContract : public ::testing::TestWithParam<Implementation<ShellUnderTest>> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string In(std::string_view name) const { return platform::JoinPath(folder, name); }
    // The absolute list of a path, parsed by the desktop.
    platform::IdList Parse(const std::string& path);
    // The folder object of a path.
    std::unique_ptr<platform::ShellFolder> Bind(const std::string& path);
    // The one-item list of the child of folder with this in-folder name.
    platform::IdList ChildNamed(platform::ShellFolder& folder, const std::string& name, uint32_t flags = 0xE0);
    std::string Name(platform::ShellFolder& folder, const platform::IdList& list, uint32_t form);

    std::unique_ptr<ShellUnderTest> under;
    platform::FileSystem* files = nullptr;
    platform::ShellNamespace* shell = nullptr;
    platform::ShellFolder* desktop = nullptr;
    std::string folder;
    long liveBefore = 0;
};

}  // namespace kp::test
