#include "app/DocumentPaths.h"

#include "ui/Menu.h"

#include <gtest/gtest.h>

namespace kp::app {
namespace {

TEST(DocumentPaths, NamesSplitAtTheLastBackslashOrColon)
{
    EXPECT_EQ(FileNamePart("C:\\docs\\a.txt"), "a.txt");
    EXPECT_EQ(FolderPart("C:\\docs\\a.txt"), "C:\\docs\\");
    EXPECT_EQ(FileNamePart("C:a.txt"), "a.txt");
    EXPECT_EQ(FolderPart("C:a.txt"), "C:");
    EXPECT_EQ(FileNamePart("plain"), "plain");
    EXPECT_EQ(FolderPart("plain"), "");
}

// "表" and "ソ" carry the byte 0x5C in code page 932; the split must not.
TEST(DocumentPaths, DoubleByteNamesKeepTheirCharacters)
{
    EXPECT_EQ(FileNamePart("C:\\ソース\\表.txt"), "表.txt");
    EXPECT_EQ(BackupPath("C:\\ソース\\表.txt"), "C:\\ソース\\bcp_表.txt");
    EXPECT_EQ(BackupPath(""), "bcp_");
}

}  // namespace
}  // namespace kp::app


namespace kp::ui {
namespace {

// Ids go through 16-bit messages: they are recycled, and never shared by
// two living items.
TEST(MenuIds, AreReusedAndStayUniqueAmongLivingItems)
{
    TMenuItem keep("keep");
    for (int round = 0; round < 70000; ++round) {
        TMenuItem passing("passing");
        EXPECT_NE(passing.Id(), keep.Id());
        EXPECT_LT(passing.Id(), 0xF000);
        EXPECT_GE(passing.Id(), 1000);
    }
}

TEST(MenuIds, AHandlerMayRemoveItsOwnItem)
{
    TMenuItem root;
    TMenuItem* item = root.Add("entry");
    int ran = 0;
    item->OnClick = [&] {
        root.Remove(item);  // the item is gone while its handler runs
        ++ran;
    };
    item->Click();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(root.Count(), 0u);
}

}  // namespace
}  // namespace kp::ui
