// The identifier-list helpers over the simulated allocator: results, bounds
// on malformed lists, allocation failures, name decoding and comparison.

#include "shell/ShellItems.h"

#include "platform/shell/SimShellNamespace.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <functional>

namespace kp::shell {
namespace {

using platform::IdList;
using platform::IdView;
using platform::ShellName;
using platform::ShellResult;
using Bytes = std::vector<uint8_t>;

// A list of identifiers with the given payloads, terminated.
Bytes ListOf(std::initializer_list<std::string_view> payloads)
{
    Bytes bytes;
    for (const std::string_view payload : payloads) {
        const size_t cb = payload.size() + 2;
        bytes.push_back(static_cast<uint8_t>(cb & 0xFF));
        bytes.push_back(static_cast<uint8_t>(cb >> 8));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

IdView ViewOf(const Bytes& bytes) { return {bytes.data(), bytes.size()}; }

// The list's identifiers and terminator; the rest of its block must be zeros.
Bytes BytesOf(const IdList& list)
{
    const size_t size = IDListSize(list.View());
    const Bytes block(list.Bytes(), list.Bytes() + list.BlockSize());
    for (size_t i = size; i < block.size(); ++i) EXPECT_EQ(block[i], 0) << "byte " << i << " of the block";
    return Bytes(block.begin(), block.begin() + static_cast<ptrdiff_t>(size));
}

class ShellItemsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ(IdList::Live(), liveBefore_);
        EXPECT_EQ(allocator.Outstanding(), 0u);
    }

    platform::SimShellAllocator allocator;

private:
    long liveBefore_ = IdList::Live();
};

TEST_F(ShellItemsTest, SizesAndStepsFollowTheCbChain)
{
    const Bytes three = ListOf({"ab", "c", "def"});
    const Bytes empty = ListOf({});
    EXPECT_EQ(IDListSize({}), 0u);
    EXPECT_EQ(IDListSize(ViewOf(empty)), 2u);
    EXPECT_EQ(IDListSize(ViewOf(three)), three.size());

    const IdView second = NextItemID(ViewOf(three));
    ASSERT_TRUE(second);
    EXPECT_EQ(second.bytes, three.data() + 4);
    const IdView third = NextItemID(second);
    ASSERT_TRUE(third);
    EXPECT_EQ(IDListSize(third), 7u);
    EXPECT_FALSE(NextItemID(third)) << "the last identifier has no successor";
    EXPECT_FALSE(NextItemID(ViewOf(empty)));
    EXPECT_FALSE(NextItemID({}));
}

// Each case builds its result from fresh inputs; it then runs again with each
// of its allocations failing in turn, which must give no list and leak nothing.
struct ListCase {
    const char* name;
    std::function<IdList(platform::ShellAllocator*)> run;
    bool null;  // the helper returns no list
    Bytes expected;
};

TEST_F(ShellItemsTest, CopyingJoiningAndSplittingGiveNewZeroTerminatedLists)
{
    const Bytes three = ListOf({"ab", "c", "def"});
    const Bytes one = ListOf({"xy"});
    const Bytes two = ListOf({"p", "qq"});
    const Bytes empty = ListOf({});
    const IdView none{};
    const std::vector<ListCase> cases = {
        {"CopyFirstID of three", [&](auto* a) { return CopyFirstID(a, ViewOf(three)); }, false, ListOf({"ab"})},
        {"CopyFirstID of empty", [&](auto* a) { return CopyFirstID(a, ViewOf(empty)); }, false, empty},
        {"CopyFirstID of nil", [&](auto* a) { return CopyFirstID(a, none); }, true, {}},
        {"Concat nil nil", [&](auto* a) { return ConcatIDLists(a, none, none); }, false, empty},
        {"Concat a nil", [&](auto* a) { return ConcatIDLists(a, ViewOf(two), none); }, false, two},
        {"Concat nil b", [&](auto* a) { return ConcatIDLists(a, none, ViewOf(one)); }, false, ListOf({"xy"})},
        {"Concat a b", [&](auto* a) { return ConcatIDLists(a, ViewOf(two), ViewOf(one)); }, false,
         ListOf({"p", "qq", "xy"})},
        {"Concat empty empty", [&](auto* a) { return ConcatIDLists(a, ViewOf(empty), ViewOf(empty)); }, false, empty},
        {"Parent of three", [&](auto* a) { return ParentIDList(a, ViewOf(three)); }, false, ListOf({"ab", "c"})},
        {"Parent of two", [&](auto* a) { return ParentIDList(a, ViewOf(two)); }, false, ListOf({"p"})},
        {"Parent of one", [&](auto* a) { return ParentIDList(a, ViewOf(one)); }, true, {}},
        {"Parent of nil", [&](auto* a) { return ParentIDList(a, none); }, true, {}},
        {"Last of three", [&](auto* a) { return LastItemID(a, ViewOf(three)); }, false, ListOf({"def"})},
        {"Last of empty", [&](auto* a) { return LastItemID(a, ViewOf(empty)); }, false, empty},
        {"Last of nil", [&](auto* a) { return LastItemID(a, none); }, true, {}},
        {"ConcatAndFree",
         [&](auto* a) { return ConcatAndFree(a, CopyFirstID(a, ViewOf(three)), LastItemID(a, ViewOf(three))); },
         false, ListOf({"ab", "def"})},
        {"no allocator", [&](auto*) { return CopyFirstID(nullptr, ViewOf(three)); }, true, {}},
    };
    // Joining allocates both sizes and a spare terminator.
    EXPECT_EQ(ConcatIDLists(&allocator, ViewOf(two), ViewOf(one)).BlockSize(), two.size() - 2 + one.size() + 2);
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = allocator.Allocations();
        {
            const IdList result = c.run(&allocator);
            ASSERT_EQ(!result, c.null);
            if (!c.null) {
                EXPECT_EQ(BytesOf(result), c.expected);
                EXPECT_EQ(result.Allocator(), &allocator);
            }
        }
        const int allocations = allocator.Allocations() - before;
        for (int fail = 1; fail <= allocations; ++fail) {
            SCOPED_TRACE(fail);
            allocator.FailAllocationNumber(fail);
            const IdList result = c.run(&allocator);
            allocator.FailAllocationNumber(0);
            if (fail == allocations) {
                EXPECT_FALSE(result) << "the last allocation makes the result";
            }
            EXPECT_EQ(allocator.Outstanding(), result ? 1u : 0u);
        }
    }
}

TEST_F(ShellItemsTest, MalformedListsEndAtTheBadIdentifier)
{
    // cb of 1 in the second place: only the first identifier counts.
    Bytes cbOfOne = ListOf({"ab"});
    cbOfOne.insert(cbOfOne.end() - 2, {1, 0, 'z'});
    // The second identifier claims more bytes than the block holds.
    Bytes pastBlock = ListOf({"ab", "cd"});
    pastBlock[4] = 60;
    // No terminator after the last identifier.
    Bytes unterminated = ListOf({"ab", "cd"});
    unterminated.resize(unterminated.size() - 2);

    for (const Bytes* bad : {&cbOfOne, &pastBlock, &unterminated}) {
        const IdView view = ViewOf(*bad);
        EXPECT_EQ(IDListSize(view), 6u);
        EXPECT_FALSE(NextItemID(view));
        EXPECT_EQ(BytesOf(LastItemID(&allocator, view)), ListOf({"ab"}));
        EXPECT_FALSE(ParentIDList(&allocator, view));
        EXPECT_EQ(BytesOf(ConcatIDLists(&allocator, view, view)), ListOf({"ab", "ab"}));
    }
    // A view too short for even a terminator holds nothing readable.
    const uint8_t lone = 5;
    EXPECT_EQ(IDListSize({&lone, 1}), 2u);
    EXPECT_EQ(BytesOf(CopyFirstID(&allocator, {&lone, 1})), ListOf({}));
}

// A folder that answers comparisons and names as a test says.
class ScriptedFolder final : public platform::ShellFolder {
public:
    ShellResult compare = 0;
    ShellResult nameResult = 0;
    ShellName name;

    ShellResult ParseDisplayName(std::string_view, IdList&) override { return platform::shellcode::kFail; }
    ShellResult EnumObjects(uint32_t, std::unique_ptr<platform::ShellEnum>&) override
    {
        return platform::shellcode::kFalse;
    }
    ShellResult BindToObject(IdView, std::unique_ptr<ShellFolder>&) override { return platform::shellcode::kFail; }
    ShellResult CompareIDs(uint32_t, IdView, IdView) override { return compare; }
    ShellResult GetAttributesOf(std::span<const IdView>, uint32_t&) override { return platform::shellcode::kFail; }
    ShellResult GetDisplayNameOf(IdView, uint32_t, ShellName& out) override
    {
        out = name;
        return nameResult;
    }
    ShellResult SetNameOf(platform::WindowRef, IdView, std::string_view, uint32_t, IdList*) override
    {
        return platform::shellcode::kFail;
    }
    bool HasShellIcon() override { return false; }
    ShellResult GetIconOf(IdView, uint32_t, int&) override { return platform::shellcode::kNoInterface; }
    ShellResult GetContextMenu(platform::WindowRef, std::span<const IdView>,
                               std::unique_ptr<platform::ShellContextMenu>&) override
    {
        return platform::shellcode::kFail;
    }
    ShellResult GetDataObject(platform::WindowRef, std::span<const IdView>,
                              std::unique_ptr<platform::ShellDataObject>&) override
    {
        return platform::shellcode::kFail;
    }
};

TEST_F(ShellItemsTest, ComparisonsReadTheLowSixteenBitsAsSigned)
{
    ScriptedFolder folder;
    const Bytes a = ListOf({"a"});
    const struct {
        ShellResult code;
        int expected;
    } cases[] = {
        {0x0000FFFF, -1},      {0x00007FFF, 32767}, {0x00008000, -32768}, {0x00010001, 1},
        {0, 0},                {1, 1},              {static_cast<ShellResult>(0x80004005), -1},
        {static_cast<ShellResult>(0x8000FFFE), -1},
    };
    for (const auto& c : cases) {
        folder.compare = c.code;
        EXPECT_EQ(CompareIDLists(folder, ViewOf(a), ViewOf(a)), c.expected) << std::hex << c.code;
    }
}

TEST_F(ShellItemsTest, DisplayNamesDecodeEachKindWithinBounds)
{
    ScriptedFolder folder;
    // "表.txt" in code page 932 inside an identifier, zero-terminated.
    const Bytes list = ListOf({std::string_view("k\x95\x5c.txt\0", 7)});
    // Without the list's terminator the name has no zero in bounds.
    Bytes unterminated = ListOf({"k\x95\x5c.txt"});
    unterminated.resize(unterminated.size() - 2);
    const auto bytesName = [](std::string_view text, bool terminated) {
        ShellName name;
        name.kind = ShellName::kBytes;
        name.bytes.fill(terminated ? 0 : 'x');
        std::copy(text.begin(), text.end(), name.bytes.begin());
        return name;
    };
    const auto offsetName = [](uint32_t offset) {
        ShellName name;
        name.kind = ShellName::kOffset;
        name.offset = offset;
        return name;
    };
    ShellName wide;
    wide.wide = u"한글 𠮷.txt";
    ShellName unknown;
    unknown.kind = 3;
    const struct {
        const char* what;
        ShellResult result;
        ShellName name;
        const Bytes* list;
        bool ok;
        std::string text;
    } cases[] = {
        {"wide, outside the code page", 0, wide, &list, true, "한글 𠮷.txt"},
        {"offset into the list", 0, offsetName(3), &list, true, "表.txt"},
        {"offset at the terminator", 0, offsetName(10), &list, true, ""},
        {"offset just past the list", 0, offsetName(12), &list, false, ""},
        {"offset past the list", 0, offsetName(400), &list, false, ""},
        {"offset to an unterminated name", 0, offsetName(3), &unterminated, false, ""},
        {"byte buffer", 0, bytesName("\x95\x5c\x83\x5c", true), &list, true, "表ソ"},
        {"byte buffer without its zero", 0, bytesName("abc", false), &list, false, ""},
        {"unknown kind", 0, unknown, &list, false, ""},
        {"refused", static_cast<ShellResult>(0x80004005), wide, &list, false, ""},
    };
    for (const auto& c : cases) {
        folder.nameResult = c.result;
        folder.name = c.name;
        std::string text = "previous";
        EXPECT_EQ(GetDisplayName(folder, ViewOf(*c.list), 0, test::TestCodec(), text), c.ok) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

TEST_F(ShellItemsTest, AWalkStopsAtTheFirstAnswerThatIsNotPlainSuccess)
{
    platform::SimFileSystem files;
    ASSERT_EQ(files.CreateFolder("C:\\w"), platform::FileStatus::Ok);
    ASSERT_EQ(files.CreateFolder("C:\\w\\empty"), platform::FileStatus::Ok);
    ASSERT_EQ(files.CreateFolder("C:\\w\\two"), platform::FileStatus::Ok);
    ASSERT_EQ(files.CreateFolder("C:\\w\\two\\a"), platform::FileStatus::Ok);
    ASSERT_EQ(files.CreateFolder("C:\\w\\two\\b"), platform::FileStatus::Ok);
    platform::SimShellNamespace shell(files, test::TestCodec());
    const auto walk = [&](const char* path, int stopAfter, int& seen) {
        IdList list;
        EXPECT_EQ(shell.Desktop()->ParseDisplayName(path, list), 0) << path;
        std::unique_ptr<platform::ShellFolder> folder;
        EXPECT_EQ(shell.Desktop()->BindToObject(list.View(), folder), 0) << path;
        seen = 0;
        return ForEachChild(*folder, platform::enumflags::kFolders, [&](IdList child) {
            EXPECT_TRUE(child);
            return ++seen < stopAfter;
        });
    };
    int seen = 0;
    EXPECT_EQ(walk("C:\\w\\two", 10, seen), WalkEnd::Finished);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(walk("C:\\w\\two", 1, seen), WalkEnd::Stopped);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(walk("C:\\w\\empty", 10, seen), WalkEnd::Finished);
    shell.Options().emptyWalkWithoutEnumerator = true;
    EXPECT_EQ(walk("C:\\w\\empty", 10, seen), WalkEnd::Finished) << "no enumerator: ran, no children";
    EXPECT_EQ(seen, 0);
    files.SetUnlistable("C:\\w\\two", true);
    EXPECT_EQ(walk("C:\\w\\two", 10, seen), WalkEnd::NotStarted);
}

}  // namespace
}  // namespace kp::shell
