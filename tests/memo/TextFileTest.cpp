// Loading and saving documents against the simulated file system, where every
// failure a disk can produce can be made to happen.

#include "memo/TextFile.h"

#include "base/Error.h"
#include "platform/files/SimFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace kp::memo {
namespace {

using namespace std::string_literals;
using platform::FileStatus;
using platform::SimFileSystem;

constexpr const char* kFolder = "C:\\文書";
constexpr const char* kDoc = "C:\\文書\\メモ.txt";
const std::string kOriginal = "original\r\n\x82\xA0\x00\x1A"s;
const std::string kCannotCreateDoc = "ﾌｧｲﾙ C:\\文書\\メモ.txt を作成できません";
const std::string kWriteFailed = "ｽﾄﾘｰﾑへの書き込みに失敗しました";

// The message a call fails with, or "(none)".
std::string FailureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "(none)";
}

std::vector<std::string> Listed(SimFileSystem& files, const char* folder = kFolder)
{
    std::vector<std::string> names;
    EXPECT_EQ(files.ListFolder(folder, names), FileStatus::Ok);
    std::sort(names.begin(), names.end());
    return names;
}

class TextFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(files.CreateFolder(kFolder), FileStatus::Ok);
        SaveTextFile(files, kDoc, kOriginal);
    }

    SimFileSystem files;
};

TEST_F(TextFile, LoadGivesTheBytesUnchanged)
{
    EXPECT_EQ(LoadTextFile(files, kDoc), kOriginal);
    EXPECT_EQ(LoadTextFile(files, "c:\\文書\\メモ.TXT"), kOriginal);
}

TEST_F(TextFile, LoadFailuresNameTheFile)
{
    EXPECT_EQ(FailureOf([&] { LoadTextFile(files, "C:\\文書\\無い.txt"); }),
              "ﾌｧｲﾙ C:\\文書\\無い.txt は開けません");
    EXPECT_EQ(FailureOf([&] { LoadTextFile(files, kFolder); }), "ﾌｧｲﾙ C:\\文書 は開けません");
    files.LockAgainstReading(kDoc, true);
    EXPECT_EQ(FailureOf([&] { LoadTextFile(files, kDoc); }), "ﾌｧｲﾙ C:\\文書\\メモ.txt は開けません");
}

// A document read however the disk hands it out comes out byte for byte,
// CR LF pairs and double-byte characters across chunk boundaries included,
// and the file is closed again.
TEST_F(TextFile, LoadReadsInAnyPiecesByteForByte)
{
    std::mt19937 random(7);
    std::string large(150000, '\0');
    const char kinds[] = {'\r', '\n', '\x81', '\x40', '\x82', '\xA0', 'a'};
    for (char& c : large) c = kinds[random() % std::size(kinds)];
    for (const std::string& text : {std::string(), kOriginal, std::string("\r\n"), large}) {
        SaveTextFile(files, kDoc, text);
        for (const size_t limit : {size_t{0}, size_t{1}, size_t{3}, size_t{4096}}) {
            for (const TextBuffer::ChunkLimits limits : {TextBuffer::ChunkLimits{2, 8}, TextBuffer::ChunkLimits{}}) {
                SCOPED_TRACE("size " + std::to_string(text.size()) + " reads of " + std::to_string(limit));
                files.LimitReads(limit);
                const TextBuffer loaded(LoadText(files, kDoc, limits));
                ASSERT_TRUE(loaded.Text() == text);
                ASSERT_EQ(loaded.CheckStructure(), "");
                ASSERT_EQ(files.OpenHandleCount(), 0u);
            }
        }
    }
}

// Another program writing the file meanwhile: a file that grew gives what
// was read up to its end; one that ends short of the size it had when opened
// is not loaded, since what was read is no state the file had.
TEST_F(TextFile, AFileThatChangesSizeWhileReadGivesWhatWasReadOrFails)
{
    const std::string grown = kOriginal + std::string(100000, 'g') + "\r\n";
    const std::string cannotOpen = "ﾌｧｲﾙ C:\\文書\\メモ.txt は開けません";
    const struct {
        std::string after;
        std::string expected;  // the text loaded, or the failure's message
    } cases[] = {
        {grown, grown},
        {kOriginal.substr(0, 8), cannotOpen},
        {kOriginal.substr(0, 2), cannotOpen},  // shrunk below what was read
        {"", cannotOpen},
    };
    files.LimitReads(4);
    for (const auto& [after, expected] : cases) {
        SaveTextFile(files, kDoc, kOriginal);
        files.ChangeWhileRead(kDoc, 4, after);
        if (expected == cannotOpen)
            EXPECT_EQ(FailureOf([&] { LoadTextFile(files, kDoc); }), cannotOpen) << after.size();
        else
            EXPECT_TRUE(LoadTextFile(files, kDoc) == expected) << expected.size();
    }
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

TEST_F(TextFile, AReadFailingHalfwayFailsTheLoadAndClosesTheFile)
{
    files.LimitReads(3);
    files.FailReadNumber(2);
    EXPECT_EQ(FailureOf([&] { LoadTextFile(files, kDoc); }), "ﾌｧｲﾙ C:\\文書\\メモ.txt は開けません");
    EXPECT_EQ(files.OpenHandleCount(), 0u);
    EXPECT_EQ(LoadTextFile(files, kDoc), kOriginal);
}

TEST_F(TextFile, SaveLeavesOnlyTheDocumentBehind)
{
    const std::string_view pieces[] = {"abc", "", "\x82\xA0", "def"};
    SaveTextFile(files, kDoc, pieces);
    EXPECT_EQ(LoadTextFile(files, kDoc), "abc\x82\xA0" "def");
    SaveTextFile(files, "C:\\文書\\新規.txt", std::span<const std::string_view>());
    EXPECT_EQ(LoadTextFile(files, "C:\\文書\\新規.txt"), "");
    EXPECT_EQ(Listed(files), (std::vector<std::string>{"メモ.txt", "新規.txt"}));
    EXPECT_FALSE(files.Query(kDoc).symbolicLink);
    EXPECT_EQ(files.Query(kDoc).hardLinks, 1u);
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

TEST_F(TextFile, ATargetThatCannotExistIsNotCreated)
{
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, "C:\\無い\\x.txt", "text"); }),
              "ﾌｧｲﾙ C:\\無い\\x.txt を作成できません");
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kFolder, "text"); }),
              "ﾌｧｲﾙ C:\\文書 を作成できません");
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, "メモ.txt", "text"); }),
              "ﾌｧｲﾙ メモ.txt を作成できません");
    EXPECT_EQ(Listed(files, "C:\\"), std::vector<std::string>{"文書"});
    EXPECT_EQ(Listed(files), std::vector<std::string>{"メモ.txt"});
}

// The old bytes are copied beside the file before it is overwritten, so the
// drive needs room for both at once.
TEST_F(TextFile, AHardLinkedDocumentIsWrittenInPlaceWhenTheCopyFitsToo)
{
    const char* other = "C:\\文書\\別名.txt";
    ASSERT_EQ(files.MakeHardLink(kDoc, other), FileStatus::Ok);
    const std::string text(100, 'n');

    files.SetFreeSpace("C:", kOriginal.size() + text.size() - 1);
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kDoc, text); }), kWriteFailed);
    EXPECT_EQ(LoadTextFile(files, other), kOriginal);

    files.SetFreeSpace("C:", kOriginal.size() + text.size());
    SaveTextFile(files, kDoc, text);
    EXPECT_EQ(LoadTextFile(files, other), text);
    EXPECT_EQ(files.Query(kDoc).hardLinks, 2u);
    EXPECT_EQ(Listed(files), (std::vector<std::string>{"メモ.txt", "別名.txt"}));
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

// When putting the old bytes back fails as well, the copy is the only place
// that still holds them: it stays.
TEST_F(TextFile, TheCopyOfAHardLinkedDocumentStaysWhenItCannotBePutBack)
{
    ASSERT_EQ(files.MakeHardLink(kDoc, "C:\\文書\\別名.txt"), FileStatus::Ok);
    files.FailWritesFrom(2);  // the copy is written, the document and the undoing are not
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kDoc, "the new document"); }), kWriteFailed);
    files.FailWriteNumber(0);
    std::vector<std::string> names = Listed(files);
    ASSERT_EQ(names.size(), 3u);
    std::erase(names, "メモ.txt");
    std::erase(names, "別名.txt");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(LoadTextFile(files, std::string(kFolder) + "\\" + names[0]), kOriginal);
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

// The link on C: leads to D:: the new file is made there, beside the file the
// link leads to, and takes its place; the link stays.
TEST_F(TextFile, ASymbolicLinkLeadsToTheNewDocumentMadeBesideItsTarget)
{
    const char* target = "D:\\本物.txt";
    files.AddDrive('D', 1000);
    SaveTextFile(files, target, std::string(10, 'o'));
    ASSERT_EQ(files.Delete(kDoc), FileStatus::Ok);
    ASSERT_EQ(files.MakeSymbolicLink(kDoc, target), FileStatus::Ok);
    const std::string grown(100, 'n');

    files.SetFreeSpace("C:", 1000);
    files.SetFreeSpace("D:", 99);
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kDoc, grown); }), kWriteFailed);
    EXPECT_EQ(LoadTextFile(files, target), std::string(10, 'o'));

    files.SetFreeSpace("D:", 100);
    SaveTextFile(files, kDoc, grown);
    EXPECT_EQ(LoadTextFile(files, kDoc), grown);
    EXPECT_TRUE(files.Query(kDoc).symbolicLink);
    EXPECT_EQ(Listed(files), std::vector<std::string>{"メモ.txt"});
    EXPECT_EQ(Listed(files, "D:\\"), std::vector<std::string>{"本物.txt"});
}

TEST_F(TextFile, ALinkedDocumentIsNotTouchedWhenItCannotBeChecked)
{
    ASSERT_EQ(files.MakeHardLink(kDoc, "C:\\文書\\別名.txt"), FileStatus::Ok);
    files.FailFreeSpace(true);
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kDoc, "new"); }), kWriteFailed);
    files.FailFreeSpace(false);
    files.SetReadOnly(kDoc, true);
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, "C:\\文書\\別名.txt", "new"); }),
              "ﾌｧｲﾙ C:\\文書\\別名.txt を作成できません");
    files.SetReadOnly(kDoc, false);
    EXPECT_EQ(LoadTextFile(files, kDoc), kOriginal);
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

// How the document's name reaches the file that holds its bytes.
struct Reach {
    const char* what;
    std::function<void(SimFileSystem&)> arrange;  // puts kOriginal behind kDoc
    std::vector<const char*> names;               // every name of that file
    bool inPlace;                                 // other names share the file itself
};

const char* const kWatchedFolders[] = {kFolder, "C:\\本物", "D:\\"};

void PutOriginal(SimFileSystem& files, const char* path)
{
    SaveTextFile(files, path, kOriginal);
}

std::vector<Reach> Reaches()
{
    return {
        {"plain file", [](SimFileSystem& f) { PutOriginal(f, kDoc); }, {kDoc}, false},
        {"symbolic link to another folder",
         [](SimFileSystem& f) {
             PutOriginal(f, "C:\\本物\\実体.txt");
             ASSERT_EQ(f.MakeSymbolicLink(kDoc, "C:\\本物\\実体.txt"), FileStatus::Ok);
         },
         {kDoc, "C:\\本物\\実体.txt"}, false},
        {"symbolic link to another drive",
         [](SimFileSystem& f) {
             PutOriginal(f, "D:\\実体.txt");
             ASSERT_EQ(f.MakeSymbolicLink(kDoc, "D:\\実体.txt"), FileStatus::Ok);
         },
         {kDoc, "D:\\実体.txt"}, false},
        {"second hard link",
         [](SimFileSystem& f) {
             PutOriginal(f, kDoc);
             ASSERT_EQ(f.MakeHardLink(kDoc, "C:\\本物\\別名.txt"), FileStatus::Ok);
         },
         {kDoc, "C:\\本物\\別名.txt"}, true},
        {"symbolic link to a hard-linked file",
         [](SimFileSystem& f) {
             PutOriginal(f, "D:\\実体.txt");
             ASSERT_EQ(f.MakeHardLink("D:\\実体.txt", "D:\\別名.txt"), FileStatus::Ok);
             ASSERT_EQ(f.MakeSymbolicLink(kDoc, "D:\\実体.txt"), FileStatus::Ok);
         },
         {kDoc, "D:\\実体.txt", "D:\\別名.txt"}, true},
    };
}

// Drives C: and D: with the folders of the reaches above, kDoc reached as
// reach says.
void Arrange(SimFileSystem& files, const Reach& reach)
{
    files.AddDrive('D', uint64_t{1} << 30);
    ASSERT_EQ(files.CreateFolder(kFolder), FileStatus::Ok);
    ASSERT_EQ(files.CreateFolder("C:\\本物"), FileStatus::Ok);
    reach.arrange(files);
}

// What must not change when a save fails: the folders' names and how kDoc
// reaches its file.
struct Names {
    std::vector<std::vector<std::string>> listed;
    bool symbolicLink;
    uint32_t hardLinks;

    explicit Names(SimFileSystem& files)
    {
        for (const char* folder : kWatchedFolders) listed.push_back(Listed(files, folder));
        const platform::FileInfo info = files.Query(kDoc);
        symbolicLink = info.symbolicLink;
        hardLinks = info.hardLinks;
    }
    bool operator==(const Names&) const = default;
};

void PrintTo(const Names& names, std::ostream* os)
{
    for (const auto& folder : names.listed) {
        *os << "[";
        for (const std::string& name : folder) *os << " " << name;
        *os << " ] ";
    }
    *os << (names.symbolicLink ? "symbolic link, " : "") << names.hardLinks << " hard link(s)";
}

enum class Hits { Any, InPlace, Replacing };

struct Fault {
    const char* what;
    // writesBefore: the writes a save makes before the document's first piece.
    std::function<void(SimFileSystem&, int writesBefore)> arrange;
    std::string message;  // "(none)": the save succeeds
    Hits hits = Hits::Any;  // the saves that can meet the fault at all
};

// Every way a name can reach a file, against every fault: a failed save leaves
// each name with the original bytes, the names as they were and nothing else
// in any folder involved; a save that succeeds changes only the bytes.
TEST(TextFileSave, FaultsLeaveEveryNameWithTheOriginal)
{
    const std::string_view pieces[] = {"the new ", "document ", "in three pieces"};
    const std::string saved = "the new document in three pieces";
    const Fault faults[] = {
        {"none", [](SimFileSystem&, int) {}, "(none)"},
        {"copy of the original written short",
         [](SimFileSystem& f, int before) { f.FailWriteNumber(before); }, kWriteFailed,
         Hits::InPlace},
        {"first write", [](SimFileSystem& f, int before) { f.FailWriteNumber(before + 1); },
         kWriteFailed},
        {"second write", [](SimFileSystem& f, int before) { f.FailWriteNumber(before + 2); },
         kWriteFailed},
        {"third write", [](SimFileSystem& f, int before) { f.FailWriteNumber(before + 3); },
         kWriteFailed},
        {"flush", [](SimFileSystem& f, int) { f.FailFlush(true); }, kWriteFailed},
        {"disk full",
         [](SimFileSystem& f, int) {
             f.SetFreeSpace("C:", 20);
             f.SetFreeSpace("D:", 20);
         },
         kWriteFailed},
        {"temporary file refused", [](SimFileSystem& f, int) { f.FailCreateTemp(true); },
         kCannotCreateDoc},
        {"read-only", [](SimFileSystem& f, int) { f.SetReadOnly(kDoc, true); }, kCannotCreateDoc},
        {"old bytes unreadable", [](SimFileSystem& f, int) { f.LockAgainstReading(kDoc, true); },
         kCannotCreateDoc, Hits::InPlace},
        {"replace", [](SimFileSystem& f, int) { f.FailReplace(true); }, kCannotCreateDoc,
         Hits::Replacing},
    };
    for (const Reach& reach : Reaches()) {
        for (const Fault& fault : faults) {
            if (fault.hits == (reach.inPlace ? Hits::Replacing : Hits::InPlace)) continue;
            const std::string what = std::string(reach.what) + " / " + fault.what;
            SimFileSystem files;
            Arrange(files, reach);
            const Names before(files);

            fault.arrange(files, reach.inPlace ? 1 : 0);
            EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kDoc, pieces); }), fault.message) << what;

            files.LockAgainstReading(kDoc, false);
            const std::string& expected = fault.message == "(none)" ? saved : kOriginal;
            for (const char* name : reach.names)
                EXPECT_EQ(LoadTextFile(files, name), expected) << what << ": " << name;
            EXPECT_EQ(Names(files), before) << what;
            EXPECT_EQ(files.OpenHandleCount(), 0u) << what;
        }
    }
}

// Random documents in random pieces, each save with one random fault or none,
// for every way of reaching the file: afterwards every name holds exactly the
// new document or exactly the previous one, and nothing else has changed.
TEST(TextFileSave, RandomDocumentsSurviveRandomFaults)
{
    std::mt19937 random(20240611);
    for (const Reach& reach : Reaches()) {
        SimFileSystem files;
        Arrange(files, reach);
        const Names names(files);
        std::string previous = kOriginal;
        for (int round = 0; round < 100; ++round) {
            std::string text(random() % 4 == 0 ? random() % 70000 : random() % 300, '\0');
            for (char& c : text) c = static_cast<char>(random());
            std::vector<std::string_view> pieces;
            for (size_t at = 0; at < text.size();) {
                const size_t length = std::min<size_t>(text.size() - at, random() % 2000);
                pieces.push_back(std::string_view(text).substr(at, length));
                at += length;
            }
            const uint64_t room = random() % (text.size() + previous.size() + 1);
            switch (random() % 8) {
            case 1: files.FailWriteNumber(1 + static_cast<int>(random() % (pieces.size() + 2))); break;
            case 2: files.FailFlush(true); break;
            case 3: files.FailReplace(true); break;
            case 4: files.FailCreateTemp(true); break;
            case 5:
                files.SetFreeSpace("C:", room);
                files.SetFreeSpace("D:", room);
                break;
            default: break;
            }
            bool failed = false;
            try {
                SaveTextFile(files, kDoc, pieces);
            } catch (const Error&) {
                failed = true;
            }
            files.FailWriteNumber(0);
            files.FailFlush(false);
            files.FailReplace(false);
            files.FailCreateTemp(false);
            files.SetFreeSpace("C:", uint64_t{1} << 40);
            files.SetFreeSpace("D:", uint64_t{1} << 40);
            if (!failed) previous = text;
            const std::string at = std::string(reach.what) + ", round " + std::to_string(round);
            for (const char* name : reach.names)
                ASSERT_TRUE(LoadTextFile(files, name) == previous) << at << ": " << name;
            ASSERT_EQ(Names(files), names) << at;
        }
        EXPECT_EQ(files.OpenHandleCount(), 0u) << reach.what;
    }
}

}  // namespace
}  // namespace kp::memo
