//! @file acf_lock_test.cpp
//! @brief The revision's read and write locks: shared and exclusive against other threads,
//! and committing on release.
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
