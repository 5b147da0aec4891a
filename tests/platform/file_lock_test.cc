#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <memory>

#include "test_util.h"

namespace tabulon {
namespace {

using namespace std::chrono_literals;

// One holder at a time: another taker is told the lock is busy when its wait
// runs out, stops waiting when asked to, and takes the lock once it is let go.
TEST(FileLock, OneHolderAtATime) {
    test::TempDir dir;
    const std::string path = dir.file("table.lock");
    auto first = std::make_unique<FileLock>();
    bool busy = true;
    ASSERT_TRUE(first->take(path, 0ms, &busy).ok());
    EXPECT_FALSE(busy);
    FileLock second;
    ASSERT_TRUE(second.take(path, 100ms, &busy).ok());
    EXPECT_TRUE(busy);
    int asked = 0;
    EXPECT_TRUE(second.take(path, 5s, &busy, [&] { return ++asked == 3; }).isStopped());
    EXPECT_EQ(asked, 3);
    first.reset();
    ASSERT_TRUE(second.take(path, 0ms, &busy).ok());
    EXPECT_FALSE(busy);
}

}  // namespace
}  // namespace tabulon
