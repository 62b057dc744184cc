#pragma once

#include "platform/files/FileSystem.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// A file system under test and the folder its tests work in: the fixture
// makes it fresh before each test (its parent must exist) and removes it with
// everything in it afterwards.
struct FileSystemUnderTest {
    std::unique_ptr<platform::FileSystem> files;
    std::string scratch;
};

template <class Files>
Implementation<FileSystemUnderTest> FilesUnderTest(std::string name,
                                                   std::function<std::string()> scratch)
{
    return {std::move(name), [scratch] {
                return std::make_unique<FileSystemUnderTest>(
                    FileSystemUnderTest{std::make_unique<Files>(), scratch()});
            }};
}

// A name no earlier call returned, for scratch folders shared between runs.
std::string UniqueScratchName();

class FileSystemContract : public ::testing::TestWithParam<Implementation<FileSystemUnderTest>> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string In(std::string_view name) const { return platform::JoinPath(folder, name); }

    std::unique_ptr<FileSystemUnderTest> under;
    platform::FileSystem* files = nullptr;
    std::string folder;
};

// Deletes a folder and everything below it, read-only files too.
void RemoveTree(platform::FileSystem& files, const std::string& folder);

}  // namespace kp::test
