//! @file test_file_system.cpp
//! @brief Atomic replacement, copies onto the source and bounded whole-file reads.
#include "support/test_support.h"

#include <fio/fio.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::size_t entries_in(const std::string& directory)
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

// A commit killed between writing its temporary and the rename left ".rev.vsf.tmpPID_N"
// files behind for ever.
TEST(AtomicWrite, RemovesTemporariesOfWritersThatAreGone)
{
    TEMP_DIR dir;
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string abandoned = dir.file(".rev.vsf.tmp" + std::to_string(gone) + "_1");
    const std::string in_use = dir.file(".rev.vsf.tmp" + std::to_string(::getppid()) + "_1");
    const std::string other = dir.file(".other.vsf.tmp" + std::to_string(gone) + "_1");
    for (const std::string& path : {abandoned, in_use, other})
        std::ofstream(path) << "partial";
    ASSERT_TRUE(FIO_FILE_SYSTEM::write_file_atomically(dir.file("rev.vsf"), "new\n"));
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_TRUE(fs::exists(in_use)) << "its writer may still be at work";
    EXPECT_TRUE(fs::exists(other));
}

TEST(AtomicWrite, KeepsPermissionsAndOwnerOfTheReplacedFile)
{
    TEMP_DIR dir;
    const std::string target = dir.write("rev.vsf", "old");
    ::chmod(target.c_str(), 0640);
    const uid_t owner = running_as_root() ? 65534 : ::geteuid();
    ASSERT_EQ(::chown(target.c_str(), owner, static_cast<gid_t>(-1)), 0);
    ASSERT_TRUE(FIO_FILE_SYSTEM::write_file_atomically(target, "new"));
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, owner);
}

TEST(AtomicWrite, FollowsASymbolicLinkInsteadOfReplacingIt)
{
    TEMP_DIR dir;
    const std::string real = dir.write("real.vsf", "old");
    const std::string link = dir.file("link.vsf");
    fs::create_symlink(real, link);
    ASSERT_TRUE(FIO_FILE_SYSTEM::write_file_atomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read_text(real), "new");
}

TEST(AtomicWrite, FailedRenameLeavesTargetAndNoTemporary)
{
    TEMP_DIR dir;
    const std::string target = dir.file("occupied");
    fs::create_directory(target);
    dir.write("occupied/inside.txt", "keep");
    EXPECT_FALSE(FIO_FILE_SYSTEM::write_file_atomically(target, "content"));
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(read_text(dir.file("occupied/inside.txt")), "keep");
    EXPECT_EQ(entries_in(dir.path()), 1u);
}

TEST(AtomicWrite, UnwritableDirectoryOrFileLeavesTargetIntact)
{
    if (running_as_root()) GTEST_SKIP() << "permission bits do not bind the superuser";
    TEMP_DIR dir;
    const std::string protected_file = dir.write("protected.vsf", "old");
    ::chmod(protected_file.c_str(), 0444);
    EXPECT_FALSE(FIO_FILE_SYSTEM::write_file_atomically(protected_file, "new"));
    EXPECT_EQ(read_text(protected_file), "old");

    const std::string target = dir.write("rev.vsf", "old");
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(FIO_FILE_SYSTEM::write_file_atomically(target, "new"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(read_text(target), "old");
    EXPECT_EQ(entries_in(dir.path()), 2u);
}

TEST(Copy, OntoItselfKeepsTheContent)
{
    TEMP_DIR dir;
    const std::string path = dir.write("top.v", "module top; endmodule\n");
    EXPECT_TRUE(FIO_FILE_SYSTEM::copy(path, path, true, false));
    EXPECT_TRUE(FIO_FILE_SYSTEM::copy(path, dir.path() + "/./top.v", true, true));
    fs::create_hard_link(path, dir.file("alias.v"));
    EXPECT_TRUE(FIO_FILE_SYSTEM::copy(dir.file("alias.v"), path, true, false));
    EXPECT_EQ(read_text(path), "module top; endmodule\n");
}

// A FIFO hung the read and a link to /dev/zero ran it out of memory.
TEST(ReadFile, OnlyRegularFilesWithinTheBoundAndSaysWhy)
{
    TEMP_DIR dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.file("zero"));
    const std::string big = dir.write("big", std::string(100, 'x'));
    const struct {
        std::string path;
        const char* problem;
    } refused[] = {{dir.file("pipe"), "is not a regular file"},
                   {dir.file("zero"), "is not a regular file"},
                   {dir.path(), "is a directory"},
                   {dir.file("missing"), "does not exist"},
                   {big, "is larger than 99 bytes"}};
    for (const auto& file : refused) {
        std::string content = "kept", problem;
        EXPECT_FALSE(FIO_FILE_SYSTEM::read_file(file.path, content, 99, &problem)) << file.path;
        EXPECT_EQ(problem, file.problem);
        EXPECT_EQ(content, "kept");
    }
    std::string content;
    EXPECT_TRUE(FIO_FILE_SYSTEM::read_file(big, content, 100));
    EXPECT_EQ(content.size(), 100u);
}

// The read ends early only where the size seen at the open says so; a file whose size says
// nothing (the kernel's own files) or that spans many reads is read to its end, within the bound.
TEST(ReadFile, WholeContentWhateverTheSizeSaid)
{
    TEMP_DIR dir;
    std::string large(300000, 'x');
    large.back() = 'y';
    std::string content;
    EXPECT_TRUE(FIO_FILE_SYSTEM::read_file(dir.write("large", large), content));
    EXPECT_EQ(content, large);
    EXPECT_TRUE(FIO_FILE_SYSTEM::read_file(dir.write("empty", ""), content));
    EXPECT_EQ(content, "");

    ASSERT_TRUE(FIO_FILE_SYSTEM::read_file("/proc/self/status", content));
    EXPECT_EQ(content.rfind("Name:", 0), 0u);
    EXPECT_EQ(content.back(), '\n');
    std::string problem;
    EXPECT_FALSE(FIO_FILE_SYSTEM::read_file("/proc/self/status", content, 99, &problem));
    EXPECT_EQ(problem, "is larger than 99 bytes");
}

}  // namespace
