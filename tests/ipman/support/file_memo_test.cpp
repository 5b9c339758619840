//! @file file_memo_test.cpp
//! @brief IPMAN_FILE_MEMO: a file is read again exactly when it may have changed.
#include "support/ipman_file_memo.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

//! Reads the file's content and counts the reads; an empty file reads as nothing.
struct COUNTING_READER {
    int reads = 0;
    std::optional<std::string> operator()(const std::string& path)
    {
        ++reads;
        const std::string content = read_text(path);
        if (content.empty()) return std::nullopt;
        return content;
    }
};

}  // namespace

TEST(FileMemo, ReadsAgainOnlyWhatChangedSinceTheLastCollection)
{
    TEMP_DIR dir;
    const std::string path = dir.write("a.v", "first");
    // Every stamp trusted at once, as if the files had been written long ago.
    IPMAN_FILE_MEMO<std::string> memo(std::chrono::seconds(-1));
    COUNTING_READER reader;
    const auto read = [&](const std::string& file) { return memo.get(file, std::ref(reader)); };

    memo.begin();
    EXPECT_EQ(read(path), "first");
    EXPECT_EQ(read(path), "first");  // asked twice in one collection: read once
    memo.begin();
    EXPECT_EQ(read(path), "first");
    EXPECT_EQ(reader.reads, 1);

    write_text(path, "second, longer");
    memo.begin();
    EXPECT_EQ(read(path), "second, longer");
    EXPECT_EQ(reader.reads, 2);

    // Nothing read is not kept: the file is tried again.
    write_text(path, "");
    memo.begin();
    EXPECT_EQ(read(path), std::nullopt);
    memo.begin();
    EXPECT_EQ(read(path), std::nullopt);
    EXPECT_EQ(reader.reads, 4);

    // Gone, and a missing file is never kept.
    ASSERT_EQ(std::remove(path.c_str()), 0);
    memo.begin();
    EXPECT_EQ(read(path), std::nullopt);
    EXPECT_EQ(reader.reads, 5);
}

TEST(FileMemo, AFileChangedJustNowIsReadEveryTime)
{
    // File times tick coarsely: a rewrite of the same size within one tick keeps the stamp,
    // so a stamp younger than the settle time is not trusted.
    TEMP_DIR dir;
    const std::string path = dir.write("a.v", "one");
    IPMAN_FILE_MEMO<std::string> memo;
    COUNTING_READER reader;
    memo.begin();
    EXPECT_EQ(memo.get(path, std::ref(reader)), "one");
    write_text(path, "two");
    memo.begin();
    EXPECT_EQ(memo.get(path, std::ref(reader)), "two");
    EXPECT_EQ(reader.reads, 2);
    EXPECT_FALSE(ipman_file_stamp(path, std::chrono::seconds(2)));
    EXPECT_TRUE(ipman_file_stamp(path, std::chrono::seconds(-1)));
    EXPECT_FALSE(ipman_file_stamp(dir.path(), std::chrono::seconds(-1)));  // not a regular file
}
