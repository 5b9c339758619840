//! @file rdb_store_test.cpp
//! @brief Reports stored in and read back from the project database.
#include "rdb_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class RdbStore : public ::testing::Test {
protected:
    void SetUp() override { RDB_REPORT::set_database_path(m_database); }
    void TearDown() override { RDB_REPORT::set_database_path(""); }

    //! The stored report as a fresh process would see it.
    RDB_REPORT* read_back(const std::string& revision)
    {
        RDB_REPORT::forget_reports();
        return RDB_REPORT::get_report(revision, RDB_REPORT_TYPE_COMPILATION);
    }

    TEMP_DIR m_project;
    std::string m_database = m_project.file("db/reports.sqlite");
};

TEST_F(RdbStore, WrittenReportReadsBackIdenticalAndReplacesItsRevision)
{
    EXPECT_EQ(RDB_REPORT::get_report("top", RDB_REPORT_TYPE_COMPILATION), nullptr);  // no database yet
    auto top = sample_report("top", "first");
    std::string error;
    ASSERT_TRUE(RDB_REPORT::write_report(*top, &error)) << error;
    ASSERT_TRUE(RDB_REPORT::write_report(*sample_report("other", "x"), &error)) << error;

    RDB_REPORT* stored = read_back("top");
    EXPECT_EQ(dump(stored), dump(top.get()));
    EXPECT_EQ(stored->get_current_folder(), nullptr);
    EXPECT_EQ(RDB_REPORT::get_report("top", RDB_REPORT_TYPE_COMPILATION), stored);  // kept in memory
    EXPECT_EQ(RDB_REPORT::get_report("top", 2), nullptr);

    ASSERT_TRUE(RDB_REPORT::write_report(*sample_report("top", "second"), &error)) << error;
    EXPECT_EQ(dump(read_back("top")), dump(sample_report("top", "second").get()));
    EXPECT_EQ(dump(read_back("other")), dump(sample_report("other", "x").get()));
}

TEST_F(RdbStore, ReportWrittenByAnotherProcessIsFound)
{
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        RDB_REPORT::forget_reports();
        ::_exit(RDB_REPORT::write_report(*sample_report("top", "child")) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(dump(read_back("top")), dump(sample_report("top", "child").get()));
}

TEST_F(RdbStore, FailedWriteKeepsTheStoredReportAndSaysWhy)
{
    ASSERT_TRUE(RDB_REPORT::write_report(*sample_report("top", "kept")));

    // Too deep to be read back: refused half-way through, after the old rows were deleted.
    auto deep = sample_report("top", "deep");
    RDB_FOLDER_OBJECT* folder = deep->get_main_folder();
    for (int i = 0; i < 80; ++i)
        folder =
            static_cast<RDB_FOLDER_OBJECT*>(folder->add_object(std::make_unique<RDB_FOLDER_OBJECT>("d")));
    std::string error;
    EXPECT_FALSE(RDB_REPORT::write_report(*deep, &error));
    EXPECT_NE(error.find("nested deeper"), std::string::npos) << error;
    EXPECT_EQ(dump(read_back("top")), dump(sample_report("top", "kept").get()));

    RDB_REPORT::set_database_path("");
    EXPECT_FALSE(RDB_REPORT::write_report(*deep, &error));
    EXPECT_NE(error.find("no report database"), std::string::npos) << error;
}

TEST_F(RdbStore, ForeignOrNewerDatabaseIsRefusedAndLeftUntouched)
{
    const std::string garbage(4096, 'x');
    m_project.write("db/reports.sqlite", garbage);
    std::string error;
    EXPECT_FALSE(RDB_REPORT::write_report(*sample_report("top", "e"), &error));
    EXPECT_NE(error.find("not a readable report database"), std::string::npos) << error;
    EXPECT_EQ(read_text(m_database), garbage);
    msg_clear_posted_messages();
    EXPECT_EQ(read_back("top"), nullptr);
    ASSERT_EQ(msg_posted_messages().size(), 1u);
    EXPECT_NE(msg_posted_messages()[0].text.find("cannot be read"), std::string::npos);

    // Schema version 99 in the file header (user_version, big-endian at offset 60).
    std::filesystem::remove(m_database);
    ASSERT_TRUE(RDB_REPORT::write_report(*sample_report("top", "e")));
    {
        std::fstream file(m_database, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(60);
        file.write("\0\0\0\x63", 4);
    }
    const std::string newer = read_text(m_database);
    EXPECT_FALSE(RDB_REPORT::write_report(*sample_report("top", "e"), &error));
    EXPECT_NE(error.find("schema version 99, newer"), std::string::npos) << error;
    EXPECT_EQ(read_text(m_database), newer);
    msg_clear_posted_messages();
}

TEST(RdbProjectDatabase, OpeningAProjectPointsTheStoreAtItsDatabase)
{
    RDB_REPORT::add_report(sample_report("left", "over"));
    {
        SCRATCH_PROJECT project("p", "top", "");
        EXPECT_EQ(RDB_REPORT::get_database_path(), project.path() + "db/reports.sqlite");
        EXPECT_EQ(RDB_REPORT::get_report("left", RDB_REPORT_TYPE_COMPILATION), nullptr);
        RDB_REPORT::add_report(sample_report("top", "x"));
    }
    EXPECT_EQ(RDB_REPORT::get_database_path(), "");
    EXPECT_EQ(RDB_REPORT::get_report("top", RDB_REPORT_TYPE_COMPILATION), nullptr);
}

}  // namespace
