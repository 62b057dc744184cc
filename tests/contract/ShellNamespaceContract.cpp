// What the explorer pane relies on from the shell namespace, checked against
// the real shell under Wine and the simulation over the simulated file system.
// Every test ends with no identifier list left alive.

#include "tests/contract/ShellNamespaceContract.h"

#include "platform/files/SimFileSystem.h"
#include "platform/shell/SimShellNamespace.h"

#include "shell/DRPCOMEX.h"
#include "shell/ShellItems.h"
#include "tests/TestPlatform.h"
#include "tests/contract/FileSystemContract.h"

#include <algorithm>
#include <map>
#include <set>

namespace kp::test {

using platform::FileHandle;
using platform::FileStatus;
using platform::IdList;
using platform::IdView;
namespace attr = platform::attr;
namespace nameform = platform::nameform;

namespace {

// 2003-04-05 06:07:08 and 2010-11-12 13:14:16 UTC.
constexpr uint64_t kTimeA = 126941248280000000u;
constexpr uint64_t kTimeB = 129342152560000000u;

void Put(platform::FileSystem& files, const std::string& path, size_t size)
{
    std::string temp;
    FileHandle file;
    ASSERT_EQ(files.CreateTempFile(platform::ParentFolder(path), temp, file), FileStatus::Ok);
    ASSERT_EQ(files.Write(file, std::string(size, 'k')), FileStatus::Ok);
    file.Close();
    ASSERT_EQ(files.Replace(path, temp), FileStatus::Ok) << path;
}

std::set<std::string> Lower(std::set<std::string> names)
{
    std::set<std::string> out;
    for (std::string name : names) {
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        out.insert(name);
    }
    return out;
}

}  // namespace

// The simulation's shell over its own file system; a shortcut there is a file
// whose content names its target.
ShellUnderTest SimShellUnderTest()
{
    auto files = std::make_unique<platform::SimFileSystem>();
    platform::SimShellOptions options;
    options.linkAttribute = true;
    auto shell = std::make_unique<platform::SimShellNamespace>(*files, TestCodec(), options);
    platform::SimFileSystem* sim = files.get();
    ShellUnderTest under{std::move(files), std::move(shell), "C:\\scratch", {}, true};
    under.makeShortcut = [sim](const std::string& path, const std::string& target) {
        std::string temp;
        platform::FileHandle file;
        return sim->CreateTempFile(platform::ParentFolder(path), temp, file) == platform::FileStatus::Ok &&
               sim->Write(file, target) == platform::FileStatus::Ok && (file.Close(), true) &&
               sim->Replace(path, temp) == platform::FileStatus::Ok;
    };
    return under;
}

void ShellNamespaceContract::SetUp()
{
    liveBefore = IdList::Live();
    under = GetParam().make();
    files = under->files.get();
    shell = under->shell.get();
    desktop = shell->Desktop();
    ASSERT_TRUE(shell->Allocator());
    ASSERT_TRUE(desktop);
    folder = under->scratch;
    RemoveTree(*files, folder);
    ASSERT_EQ(files->CreateFolder(folder), FileStatus::Ok) << folder;
    // 0, 1023 and 1024 bytes with set times; a hidden file; folders with and
    // without subfolders; names inside and outside code page 932; a shortcut.
    Put(*files, In("empty.txt"), 0);
    Put(*files, In("k1023.txt"), 1023);
    Put(*files, In("k1024.dat"), 1024);
    ASSERT_EQ(files->SetLastWriteTime(In("k1023.txt"), kTimeA), FileStatus::Ok);
    ASSERT_EQ(files->SetLastWriteTime(In("k1024.dat"), kTimeB), FileStatus::Ok);
    Put(*files, In("hidden.txt"), 1);
    ASSERT_EQ(files->SetHidden(In("hidden.txt"), true), FileStatus::Ok);
    ASSERT_EQ(files->CreateFolder(In("sub")), FileStatus::Ok);
    ASSERT_EQ(files->CreateFolder(In("sub\\inner")), FileStatus::Ok);
    ASSERT_EQ(files->CreateFolder(In("leaf")), FileStatus::Ok);
    Put(*files, In("表ソ.txt"), 3);
    Put(*files, In("한글.txt"), 4);
    ASSERT_TRUE(under->makeShortcut(In("short.lnk"), In("k1023.txt")));
}

void ShellNamespaceContract::TearDown()
{
    if (files) RemoveTree(*files, folder);
    EXPECT_EQ(IdList::Live(), liveBefore) << "every identifier list is freed";
}

IdList ShellNamespaceContract::Parse(const std::string& path)
{
    IdList list;
    EXPECT_EQ(desktop->ParseDisplayName(path, list), 0) << path;
    return list;
}

std::unique_ptr<platform::ShellFolder> ShellNamespaceContract::Bind(const std::string& path)
{
    const IdList list = Parse(path);
    std::unique_ptr<platform::ShellFolder> bound;
    EXPECT_EQ(desktop->BindToObject(list.View(), bound), 0) << path;
    return bound;
}

std::string ShellNamespaceContract::Name(platform::ShellFolder& in, const IdList& list, uint32_t form)
{
    std::string text;
    EXPECT_TRUE(shell::GetDisplayName(in, list.View(), form, TestCodec(), text));
    return text;
}

IdList ShellNamespaceContract::ChildNamed(platform::ShellFolder& in, const std::string& name, uint32_t flags)
{
    IdList found;
    // By the file name of the parsing name: in-folder names may drop the
    // extension of a shortcut.
    shell::ForEachChild(in, flags, [&](IdList child) {
        if (platform::FileNameOf(Name(in, child, nameform::kForParsing)) == name) {
            found = std::move(child);
            return false;
        }
        return true;
    });
    EXPECT_TRUE(found) << name;
    return found;
}

TEST_P(ShellNamespaceContract, PathsParseAndComeBackAsTheirParsingNames)
{
    const std::string root = folder.substr(0, 3);
    for (const std::string& path : {root, folder, In("表ソ.txt"), In("한글.txt"), In("sub\\inner"),
                                    std::string("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}")}) {
        const IdList list = Parse(path);
        ASSERT_TRUE(list) << path;
        EXPECT_EQ(Lower({Name(*desktop, list, nameform::kForParsing)}), Lower({path})) << path;
        std::string fromList;
        EXPECT_EQ(shell->GetPathFromIDList(list.View(), fromList), path[0] != ':') << path;
        if (path[0] != ':') {
            EXPECT_EQ(Lower({fromList}), Lower({path}));
        }
    }
    // A drive root keeps its trailing '\'; its in-folder name is " (X:)".
    const IdList drive = Parse(root);
    const IdList last = shell::LastItemID(shell->Allocator(), drive.View());
    const IdList parent = shell::ParentIDList(shell->Allocator(), drive.View());
    std::unique_ptr<platform::ShellFolder> computer;
    ASSERT_EQ(desktop->BindToObject(parent.View(), computer), 0);
    EXPECT_EQ(Name(*computer, last, nameform::kInFolder).substr(0, 2), " (");
    EXPECT_EQ(Name(*desktop, parent, nameform::kInFolder), "マイ コンピューター");
}

TEST_P(ShellNamespaceContract, BadPathsFailWithoutAList)
{
    for (const std::string& path : {In("missing.txt"), In("missing\\k1023.txt"), In("\xFF\xFE.txt")}) {
        IdList list;
        EXPECT_LT(desktop->ParseDisplayName(path, list), 0) << path;
        EXPECT_FALSE(list) << path;
    }
    // The empty name is マイ コンピューター.
    IdList list;
    EXPECT_EQ(desktop->ParseDisplayName("", list), 0);
    EXPECT_EQ(Name(*desktop, list, nameform::kForParsing), "::{20d04fe0-3aea-1069-a2d8-08002b30309d}")
        << "the platform spells the class in lower case";
}

TEST_P(ShellNamespaceContract, WalksListWhatTheFileSystemHoldsAndHideHiddenFiles)
{
    const auto scratch = Bind(folder);
    ASSERT_TRUE(scratch);
    const auto names = [&](uint32_t flags) {
        std::set<std::string> seen;
        EXPECT_EQ(shell::ForEachChild(*scratch, flags, [&](IdList child) {
            seen.insert(Name(*scratch, child, nameform::kInFolder));
            return true;
        }), shell::WalkEnd::Finished);
        return Lower(seen);
    };
    EXPECT_EQ(names(0x20), (std::set<std::string>{"leaf", "sub"}));
    const std::set<std::string> plain = names(0x40);
    EXPECT_TRUE(plain.count("k1023.txt") && plain.count("表ソ.txt") && plain.count("한글.txt"));
    EXPECT_FALSE(plain.count("hidden.txt"));
    EXPECT_TRUE(names(0xE0).count("hidden.txt"));
    EXPECT_EQ(names(0xE0).size(), 9u);
}

TEST_P(ShellNamespaceContract, AttributesTellFoldersSubfoldersAndLinks)
{
    const auto scratch = Bind(folder);
    const uint32_t mask = attr::kFolder | attr::kHasSubfolder | attr::kFileSysAncestor | attr::kLink;
    const struct {
        const char* name;
        uint32_t expected;
    } cases[] = {
        {"sub", attr::kFolder | attr::kHasSubfolder | attr::kFileSysAncestor},
        {"leaf", attr::kFolder | attr::kFileSysAncestor | (under->subfolderAlways ? attr::kHasSubfolder : 0u)},
        {"k1023.txt", 0},
        {"short.lnk", under->linkAttribute ? attr::kLink : 0u},
    };
    for (const auto& c : cases) {
        const IdList child = ChildNamed(*scratch, c.name);
        const IdView one[] = {child.View()};
        uint32_t bits = mask;
        EXPECT_EQ(scratch->GetAttributesOf(one, bits), 0) << c.name;
        EXPECT_EQ(bits & mask, c.expected) << c.name;
    }
}

TEST_P(ShellNamespaceContract, ComparisonsOrderNamesAndDeeperLists)
{
    const auto scratch = Bind(folder);
    const IdList leaf = ChildNamed(*scratch, "leaf");
    const IdList sub = ChildNamed(*scratch, "sub");
    EXPECT_EQ(scratch->CompareIDs(0, leaf.View(), sub.View()), 0x0000FFFF) << "less is the low 16 bits of -1";
    EXPECT_EQ(scratch->CompareIDs(0, sub.View(), leaf.View()), 1);
    EXPECT_EQ(scratch->CompareIDs(0, sub.View(), sub.View()), 0);
    EXPECT_EQ(shell::CompareIDLists(*scratch, leaf.View(), sub.View()), -1);

    const IdList outer = Parse(In("sub"));
    const IdList inner = Parse(In("sub\\inner"));
    EXPECT_LT(shell::CompareIDLists(*desktop, outer.View(), inner.View()), 0);
    EXPECT_GT(shell::CompareIDLists(*desktop, inner.View(), outer.View()), 0);
    EXPECT_EQ(shell::CompareIDLists(*desktop, inner.View(), Parse(In("SUB\\INNER")).View()), 0);
}

TEST_P(ShellNamespaceContract, RenamingGivesTheNewListAndRefusesExistingNames)
{
    const auto scratch = Bind(folder);
    const auto rename = [&](const std::string& from, const std::string& to, IdList* renamed) {
        const IdList child = ChildNamed(*scratch, from);
        return scratch->SetNameOf(0, child.View(), to, nameform::kInFolder, renamed);
    };
    IdList renamed;
    ASSERT_EQ(rename("k1023.txt", "名前.txt", &renamed), 0);
    EXPECT_EQ(Name(*scratch, renamed, nameform::kInFolder), "名前.txt");
    EXPECT_EQ(files->Query(In("名前.txt")).size, 1023u);
    ASSERT_EQ(rename("leaf", "葉", nullptr), 0);
    EXPECT_TRUE(files->Query(In("葉")).directory);
    ASSERT_EQ(rename("sub", "SUB", &renamed), 0) << "a change of case";
    EXPECT_EQ(Name(*scratch, renamed, nameform::kInFolder), under->caseKept ? "sub" : "SUB");

    EXPECT_LT(rename("empty.txt", "表ソ.txt", nullptr), 0);
    EXPECT_EQ(files->Query(In("empty.txt")).size, 0u);
    EXPECT_EQ(files->Query(In("表ソ.txt")).size, 3u);
    EXPECT_LT(rename("empty.txt", "a\\b.txt", nullptr), 0) << "a name holding '\\'";
    EXPECT_TRUE(files->Query(In("empty.txt")).exists);
}

TEST_P(ShellNamespaceContract, FindDataTypeNamesAndIcons)
{
    const auto scratch = Bind(folder);
    const struct {
        const char* name;
        uint64_t size;
        uint64_t time;
    } cases[] = {{"k1023.txt", 1023, kTimeA}, {"k1024.dat", 1024, kTimeB}, {"empty.txt", 0, 0}};
    for (const auto& c : cases) {
        platform::ShellFindData data;
        ASSERT_TRUE(shell->GetFindData(*scratch, ChildNamed(*scratch, c.name).View(), data)) << c.name;
        EXPECT_EQ(data.size, c.size) << c.name;
        if (c.time) {
            EXPECT_EQ(data.lastWriteTime, c.time) << c.name;
        }
        EXPECT_EQ(data.attributes & 0x10, 0u) << c.name;
    }
    platform::ShellFileInfo text, folderInfo;
    ASSERT_TRUE(shell->GetFileInfo(Parse(In("k1023.txt")).View(),
                                   platform::fileinfo::kTypeName | platform::fileinfo::kSysIconIndex |
                                       platform::fileinfo::kSmallIcon,
                                   text));
    ASSERT_TRUE(shell->GetFileInfo(Parse(In("sub")).View(),
                                   platform::fileinfo::kTypeName | platform::fileinfo::kSysIconIndex, folderInfo));
    EXPECT_EQ(text.typeName, "txt file") << "no registered type: the extension's";
    EXPECT_FALSE(folderInfo.typeName.empty());
    EXPECT_NE(text.iconIndex, folderInfo.iconIndex);
    EXPECT_GE(shell::GetIconIndex(*shell, Parse(In("sub")).View(), platform::fileinfo::kSysIconIndex), 0);
    EXPECT_NE(shell->SystemImageList(true), 0u);

    // A virtual item has no path.
    const IdList computer = Parse("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
    std::string path = "unchanged";
    EXPECT_FALSE(shell->GetPathFromIDList(computer.View(), path));
    EXPECT_EQ(path, "");
}

TEST_P(ShellNamespaceContract, ContextMenusKeepTheirIdsBelowTheSendToRange)
{
    const auto scratch = Bind(folder);
    const IdList file = ChildNamed(*scratch, "k1023.txt");
    const IdView one[] = {file.View()};
    std::unique_ptr<platform::ShellContextMenu> context;
    ASSERT_EQ(scratch->GetContextMenu(0, one, context), 0);
    const auto menu = shell->CreatePopupMenu();
    ASSERT_GE(context->QueryContextMenu(*menu, 0, 1, 1524, 4), 0);
    std::map<std::string, uint32_t> ids;
    for (int pos = 0; pos < menu->Count(); ++pos) {
        platform::PopupMenu::Item item;
        ASSERT_TRUE(menu->GetItem(pos, item));
        if (!item.submenu && !item.text.empty()) ids[item.text] = item.id;
        EXPECT_LE(item.id, 1524u) << item.text;
    }
    EXPECT_EQ(ids["開く(&O)"], 259u);
    EXPECT_EQ(ids["コピー(&C)"], 26u);
    EXPECT_EQ(ids["切り取り(&U)"], 25u);
    EXPECT_EQ(ids["削除(&D)"], 18u);
    EXPECT_EQ(ids["プロパティ(&P)"], 20u);
    const int sendTo = shell::FindMenuItem(*menu, TestCodec(), "(&N)", 5);
    EXPECT_EQ(sendTo != -1, under->sendToMenu);
    if (sendTo != -1) {
        EXPECT_NE(menu->Submenu(sendTo - 1), nullptr);
    }

    // The data object of a file carries its path.
    std::unique_ptr<platform::ShellDataObject> data;
    ASSERT_EQ(scratch->GetDataObject(0, one, data), 0);
    const auto paths = data->FilePaths();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(Lower({paths[0]}), Lower({In("k1023.txt")}));
}

}  // namespace kp::test
