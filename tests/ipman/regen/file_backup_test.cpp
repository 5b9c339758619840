//! @file file_backup_test.cpp
//! @brief Backups and restoring them, also for names that carry ".BAK" themselves or have no
//! extension.
#include <gtest/gtest.h>

#include "ipman/regen/regen_test_support.h"
#include "regen/ipman_file_backup.h"

namespace {

class FileBackup : public ::testing::Test {
protected:
    void SetUp() override { take_posted(); }
    TEMP_DIR m_dir;
};

POSTED restore_message(const std::string& from, const std::string& to)
{
    return {"IIPMAN_IPRGEN_RESTORE_FILE", "Restoring file \"" + from + "\" to \"" + to + "\""};
}

}  // namespace

TEST_F(FileBackup, MissingFileOrFailedCopy)
{
    std::string backup = "untouched";
    EXPECT_FALSE(IPMAN_FILE_BACKUP::backup_beside(m_dir.file("none.v"), backup));
    EXPECT_EQ(backup, "untouched");
    EXPECT_TRUE(take_posted().empty());

    const std::string file = m_dir.write("top.v", "x");
    EXPECT_FALSE(IPMAN_FILE_BACKUP::backup_into_directory(file, m_dir.file("no/such/dir"), backup));
    EXPECT_EQ(backup, m_dir.file("no/such/dir/top.BAK.v"))
        << "the path is reported even when the copy failed";
    EXPECT_EQ(take_posted().size(), 1u);
}

TEST_F(FileBackup, RestoresOverTheFileAndKeepsTheBackup)
{
    const std::string file = m_dir.write("top.v", "original");
    std::string backup;
    ASSERT_TRUE(IPMAN_FILE_BACKUP::backup_beside(file, backup));
    m_dir.write("top.v", "rewritten by a generator");
    take_posted();

    ASSERT_TRUE(IPMAN_FILE_BACKUP::restore(backup));
    EXPECT_EQ(read_text(file), "original");
    EXPECT_TRUE(std::filesystem::exists(backup));
    EXPECT_EQ(take_posted(), (std::vector<POSTED>{restore_message(backup, file)}));
}

TEST_F(FileBackup, NamesThatCarryBakThemselvesComeBackToTheirOwnName)
{
    // Each original name round-trips: the ".BAK" removed is the one the backup inserted.
    for (const std::string name :
         {"fir.BAK2.v", "a.BAK.v", "old.BAKUP.BAK.tessel", "Makefile", "v.BAKx", "top.BAK"}) {
        const std::string file = m_dir.write(name, "content of " + name);
        std::string backup;
        ASSERT_TRUE(IPMAN_FILE_BACKUP::backup_beside(file, backup)) << name;
        EXPECT_EQ(IPMAN_FILE_BACKUP::restored_path_for(backup), file) << backup;
        m_dir.write(name, "changed");
        ASSERT_TRUE(IPMAN_FILE_BACKUP::restore(backup)) << name;
        EXPECT_EQ(read_text(file), "content of " + name);
    }
    EXPECT_FALSE(IPMAN_FILE_BACKUP::restore(m_dir.file("gone.BAK.v")));
    EXPECT_FALSE(IPMAN_FILE_BACKUP::restore(m_dir.file("fir.BAK2.v"))) << "no inserted .BAK: nothing copied";
    EXPECT_EQ(IPMAN_FILE_BACKUP::restored_path_for("/p/top.v"), "");
    EXPECT_EQ(IPMAN_FILE_BACKUP::restored_path_for("/p/.BAK"), "");
}
