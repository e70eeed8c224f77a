// One copy per executable: a copy that has looked for another, and is held right there, already
// keeps a second copy from running, so two copies started together can never both run.

#include "app/SingleInstance.win.h"

#include <gtest/gtest.h>

#include <memory>

TEST(SingleInstance, ASecondCopyArrivingWhileTheFirstIsHeldAfterItsLookIsNotFirst) {
    const std::string name = "LarkspurSingleInstanceTest";
    std::unique_ptr<TSingleInstance> second;
    const TSingleInstance first(name, [&] { second = std::make_unique<TSingleInstance>(name); });
    EXPECT_TRUE(first.First());
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->First());

    second.reset();
    EXPECT_FALSE(TSingleInstance(name).First()) << "the first copy still holds its claim";
}
