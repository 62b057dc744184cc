// The failure table over the simulated disk: every row, the full volume a
// budget of no bytes, the pipe a path no drive holds, no FIFO.

#include "tests/app/FailureMatrix.h"

#include "platform/shell/SimShellNamespace.h"

namespace kp::app::matrix {
namespace {

class SimFailureMatrix : public FailureMatrixFixture, public ::testing::WithParamInterface<Row> {
protected:
    platform::FileSystem& Disk() override { return files; }
    std::string MakeRoot(bool small) override
    {
        const std::string root = small ? "D:\\matrix" : "C:\\matrix";
        if (small) files.AddDrive('D', kRoom);
        EXPECT_EQ(files.CreateFolder(root), FileStatus::Ok);
        return root;
    }
    bool FillVolume() override
    {
        files.SetFreeSpace("D:", 0);
        return true;
    }
    void EmptyVolume() override { files.SetFreeSpace("D:", kRoom); }
    bool ShrinkWhileRead(const std::string& path, std::string bytes) override
    {
        files.LimitReads(4);
        files.ChangeWhileRead(path, 4, std::move(bytes));
        return true;
    }
    bool MakeFifo(const std::string&) override { return false; }
    std::string MakePipe() override { return "\\\\.\\pipe\\kp-matrix"; }
    platform::ShellNamespace* Shell() override { return &shell_; }

    platform::SimShellNamespace shell_{files, test::TestCodec()};

    static constexpr uint64_t kRoom = 1 << 20;
};

TEST_P(SimFailureMatrix, NothingIsLostAndTheWindowGoesOn)
{
    RunRow(GetParam());
    EXPECT_EQ(files.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimFailureMatrix, ::testing::ValuesIn(kRows), RowName);

}  // namespace
}  // namespace kp::app::matrix
