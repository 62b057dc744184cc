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

// Another program writing the file meanwhile: what was read up to the end
// the file has when reading stops.
TEST_F(TextFile, AFileThatChangesSizeWhileReadGivesWhatWasRead)
{
    const std::string grown = kOriginal + std::string(100000, 'g') + "\r\n";
    const struct {
        std::string after;
        std::string expected;
    } cases[] = {
        {grown, grown},
        {kOriginal.substr(0, 8), kOriginal.substr(0, 8)},
        {kOriginal.substr(0, 2), kOriginal.substr(0, 4)},  // shrunk below what was read
        {"", kOriginal.substr(0, 4)},
    };
    files.LimitReads(4);
    for (const auto& [after, expected] : cases) {
        SaveTextFile(files, kDoc, kOriginal);
        files.ChangeWhileRead(kDoc, 4, after);
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
    EXPECT_FALSE(files.Query(kDoc).linked);
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

struct FailureCase {
    const char* what;
    std::function<void(SimFileSystem&)> arrange;
    std::string message;
};

TEST_F(TextFile, EveryFailureKeepsTheOriginalAndRemovesTheTemporaryFile)
{
    const FailureCase cases[] = {
        {"temp file refused", [](SimFileSystem& f) { f.FailCreateTemp(true); }, kCannotCreateDoc},
        {"read-only", [](SimFileSystem& f) { f.SetReadOnly(kDoc, true); }, kCannotCreateDoc},
        {"first write", [](SimFileSystem& f) { f.FailWriteNumber(1); }, kWriteFailed},
        {"last write", [](SimFileSystem& f) { f.FailWriteNumber(3); }, kWriteFailed},
        {"disk full", [](SimFileSystem& f) { f.SetFreeSpace("C:", 20); }, kWriteFailed},
        {"flush", [](SimFileSystem& f) { f.FailFlush(true); }, kWriteFailed},
        {"replace", [](SimFileSystem& f) { f.FailReplace(true); }, kCannotCreateDoc},
    };
    const std::string_view pieces[] = {"the new ", "document ", "in three pieces"};
    for (const FailureCase& c : cases) {
        SimFileSystem fresh;
        ASSERT_EQ(fresh.CreateFolder(kFolder), FileStatus::Ok);
        SaveTextFile(fresh, kDoc, kOriginal);
        c.arrange(fresh);
        EXPECT_EQ(FailureOf([&] { SaveTextFile(fresh, kDoc, pieces); }), c.message) << c.what;
        fresh.SetReadOnly(kDoc, false);
        EXPECT_EQ(LoadTextFile(fresh, kDoc), kOriginal) << c.what;
        EXPECT_EQ(Listed(fresh), std::vector<std::string>{"メモ.txt"}) << c.what;
        EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.what;
    }
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

TEST_F(TextFile, AHardLinkedDocumentIsWrittenInPlace)
{
    ASSERT_EQ(files.MakeHardLink(kDoc, "C:\\文書\\別名.txt"), FileStatus::Ok);
    SaveTextFile(files, kDoc, "new");
    EXPECT_EQ(LoadTextFile(files, "C:\\文書\\別名.txt"), "new");
    EXPECT_TRUE(files.Query(kDoc).linked);
    EXPECT_EQ(Listed(files), (std::vector<std::string>{"メモ.txt", "別名.txt"}));
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

// The link on C: leads to D:, whose room is what counts: all of the new
// document must fit there.
TEST_F(TextFile, ASymbolicLinkIsWrittenThroughWhenItsTargetsDriveHasRoom)
{
    const char* target = "D:\\本物.txt";
    files.AddDrive('D', 1000);
    SaveTextFile(files, target, std::string(10, 'o'));
    ASSERT_EQ(files.Delete(kDoc), FileStatus::Ok);
    ASSERT_EQ(files.MakeSymbolicLink(kDoc, target), FileStatus::Ok);
    const std::string grown(100, 'n');

    files.SetFreeSpace("D:", 99);
    EXPECT_EQ(FailureOf([&] { SaveTextFile(files, kDoc, grown); }), kWriteFailed);
    EXPECT_EQ(LoadTextFile(files, target), std::string(10, 'o'));

    files.SetFreeSpace("D:", 100);
    SaveTextFile(files, kDoc, grown);
    EXPECT_EQ(LoadTextFile(files, target), grown);
    EXPECT_TRUE(files.Query(kDoc).linked);
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

// Random documents in random pieces, each save with one random fault or none:
// afterwards the file holds exactly the new document or exactly the previous
// one, and nothing else is in the folder.
TEST_F(TextFile, RandomDocumentsSurviveRandomFaults)
{
    std::mt19937 random(20240611);
    std::string previous = kOriginal;
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 4 == 0 ? random() % 70000 : random() % 300, '\0');
        for (char& c : text) c = static_cast<char>(random());
        std::vector<std::string_view> pieces;
        for (size_t at = 0; at < text.size();) {
            const size_t length = std::min<size_t>(text.size() - at, random() % 2000);
            pieces.push_back(std::string_view(text).substr(at, length));
            at += length;
        }
        const int fault = static_cast<int>(random() % 8);
        switch (fault) {
        case 1: files.FailWriteNumber(1 + static_cast<int>(random() % (pieces.size() + 1))); break;
        case 2: files.FailFlush(true); break;
        case 3: files.FailReplace(true); break;
        case 4: files.FailCreateTemp(true); break;
        case 5: files.SetFreeSpace("C:", text.empty() ? 0 : random() % text.size()); break;
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
        if (!failed) previous = text;
        ASSERT_TRUE(LoadTextFile(files, kDoc) == previous) << "round " << round;
        ASSERT_EQ(Listed(files), std::vector<std::string>{"メモ.txt"}) << "round " << round;
    }
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace kp::memo
