#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "support/file_utils.h"

namespace vigilon {
namespace {

using testing::FakeFileSystem;

TEST(FileExists, FilesExistFoldersAndMissingPathsDoNot) {
    FakeFileSystem files;
    files.AddFile(LR"(C:\a.txt)");
    files.AddFolder(LR"(C:\dir)");
    EXPECT_TRUE(FileExists(files, LR"(C:\a.txt)"));
    EXPECT_FALSE(FileExists(files, LR"(C:\dir)"));
    EXPECT_FALSE(FileExists(files, LR"(C:\missing.txt)"));
    EXPECT_FALSE(FileExists(files, L""));
}

TEST(FileExists, OnlyASharingViolationCountsAsExisting) {
    FakeFileSystem files;
    files.AddUnreadable(LR"(C:\locked)", kErrorSharingViolation);
    files.AddUnreadable(LR"(C:\denied)", 5);
    EXPECT_TRUE(FileExists(files, LR"(C:\locked)"));
    EXPECT_FALSE(FileExists(files, LR"(C:\denied)"));
}

TEST(AddBackslash, AddsOneOnlyWhereAFileNameNeedsIt) {
    EXPECT_EQ(AddBackslash(LR"(C:\Java\bin)"), LR"(C:\Java\bin\)");
    EXPECT_EQ(AddBackslash(LR"(C:\Java\bin\)"), LR"(C:\Java\bin\)");
    EXPECT_EQ(AddBackslash(L"C:"), L"C:");
    EXPECT_EQ(AddBackslash(L""), L"");
    EXPECT_EQ(AddBackslash(L"C:") + L"javaw.exe", L"C:javaw.exe");
}

TEST(ChangeDirectory, MissingFolderLeavesTheCurrentDirectory) {
    FakeFileSystem files;
    files.AddFolder(LR"(D:\work)");
    ChangeDirectory(files, LR"(D:\missing)");
    EXPECT_EQ(files.currentDirectory, L"C:\\");
    ChangeDirectory(files, LR"(D:\work)");
    EXPECT_EQ(files.currentDirectory, LR"(D:\work)");
}

}  // namespace
}  // namespace vigilon
