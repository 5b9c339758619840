//! @file acf_lock_test.cpp
//! @brief The revision's read and write locks: re-entrant for their holder, exclusive
//! against other threads, left in place by queries, and committing on release.
#include "suite/acf/acf_test_support.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace acf_test;

namespace {

class ACF_LOCK_TEST : public ACF_TEST {
protected:
    void SetUp() override
    {
        ACF_TEST::SetUp();
        open(dir() + "nested.vpf");
    }
    static ACF_REVISION_MANAGER* revision() { return manager()->get_revision_manager(); }
};

//! Runs f on another thread and answers its result.
template <typename F>
auto on_other_thread(F f)
{
    return std::async(std::launch::async, f).get();
}

}  // namespace

TEST_F(ACF_LOCK_TEST, ReadLockIsReentrantAndQueriesLeaveItInPlace)
{
    EXPECT_FALSE(revision()->is_read_locked());
    ASSERT_TRUE(revision()->read_lock(true));
    ASSERT_TRUE(revision()->read_lock(false));

    ACF_ASSIGNMENT_LIST list;
    manager()->get_all_assignments(list, false);
    EXPECT_FALSE(list.empty());
    EXPECT_EQ(manager()->get_global_assignment_string(ACF_VAR_NUM_PARALLEL_PROCESSORS), "4");
    EXPECT_EQ(manager()->get_global_assignment_enum(ACF_VAR_ALWAYS_REGENERATE_IP, ACF_VALUE_OFF),
              ACF_VALUE_ON);
    EXPECT_NE(manager()->get_project_family_enum(), DEV_FAMILY_NONE);
    EXPECT_EQ(revision()->get_top_level_entity_name(), "top");

    revision()->read_unlock();
    EXPECT_TRUE(revision()->is_read_locked());
    revision()->read_unlock();
    EXPECT_FALSE(revision()->is_read_locked());
}

TEST_F(ACF_LOCK_TEST, ReadersShareAndExcludeWritersOfOtherThreads)
{
    ASSERT_TRUE(revision()->read_lock(true));
    EXPECT_FALSE(on_other_thread([] { return revision()->is_read_locked(); }));
    EXPECT_FALSE(on_other_thread([] { return revision()->write_lock(false); }));
    EXPECT_TRUE(on_other_thread([] {
        const bool shared = revision()->read_lock(false);
        if (shared) revision()->read_unlock();
        return shared;
    }));
    // The sole reader may also write.
    ASSERT_TRUE(revision()->write_lock(false));
    EXPECT_FALSE(on_other_thread([] { return revision()->read_lock(false); }));
    EXPECT_TRUE(revision()->write_unlock(false));
    revision()->read_unlock();
    EXPECT_TRUE(on_other_thread([] {
        const bool taken = revision()->write_lock(false);
        if (taken) revision()->write_unlock(false);
        return taken;
    }));
}

TEST_F(ACF_LOCK_TEST, WriteLockIsReentrantAndLetsItsHolderRead)
{
    ASSERT_TRUE(revision()->write_lock(true));
    ASSERT_TRUE(revision()->write_lock(false));
    EXPECT_TRUE(revision()->is_write_locked());
    EXPECT_TRUE(revision()->is_read_locked());
    ASSERT_TRUE(revision()->read_lock(false));
    revision()->read_unlock();
    EXPECT_TRUE(revision()->write_unlock(false));
    EXPECT_TRUE(revision()->is_write_locked());
    EXPECT_TRUE(revision()->write_unlock(false));
    EXPECT_FALSE(revision()->is_write_locked());
    EXPECT_FALSE(revision()->is_read_locked());
}

TEST_F(ACF_LOCK_TEST, WaitingReaderRunsAfterTheWriterReleases)
{
    std::promise<void> holding;
    std::atomic<bool> released{false};
    std::thread writer([&] {
        revision()->write_lock(true);
        holding.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        released = true;
        revision()->write_unlock(false);
    });
    holding.get_future().wait();
    EXPECT_FALSE(revision()->read_lock(false));
    ASSERT_TRUE(revision()->read_lock(true));
    EXPECT_TRUE(released);
    revision()->read_unlock();
    writer.join();
}

TEST_F(ACF_LOCK_TEST, WriteUnlockWithCommitWritesAndClosingWaitsForLocks)
{
    ASSERT_TRUE(revision()->write_lock(true));
    ACF_MGR_INPUT_PARAMETERS params;
    params.set_variable_type(ACF_VAR_PARALLEL_IP_GENERATION);
    params.set_value_enum(ACF_VALUE_ON);
    ASSERT_NE(manager()->add_assignment(params), nullptr);
    EXPECT_FALSE(manager()->close_project());
    EXPECT_TRUE(manager()->is_project_open());
    EXPECT_TRUE(revision()->write_unlock(true));
    EXPECT_NE(read_text(dir() + "main.vsf").find("PARALLEL_IP_GENERATION ON"), std::string::npos);
    EXPECT_TRUE(manager()->close_project());
}
