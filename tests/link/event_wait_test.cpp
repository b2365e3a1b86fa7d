#include "link/event_wait.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace kinoloop {
namespace {

TEST(EventWait, EndsWhenTheConditionIsMetByAnEventServedMeanwhile) {
    bool done = false;
    QTimer::singleShot(20, [&] { done = true; });
    EXPECT_EQ(ServeEventsUntil([&] { return done; }), WaitOutcome::Done);
}

TEST(EventWait, StopAndTimeLimitEndItToo) {
    bool stop = false;
    QTimer::singleShot(20, [&] { stop = true; });
    EXPECT_EQ(ServeEventsUntil([] { return false; }, [&] { return stop; }), WaitOutcome::Stopped);
    EXPECT_EQ(ServeEventsUntil([] { return false; }, {}, std::chrono::milliseconds(30)), WaitOutcome::TimedOut);
    EXPECT_EQ(ServeEventsUntil([] { return true; }, [] { return true; }, std::chrono::milliseconds(0)), WaitOutcome::Done)
        << "a condition already met wins over stop and time";
}

TEST(EventWait, NoCommandStartsWhileAnotherWaits) {
    {
        CommandScope first;
        ASSERT_TRUE(first.acquired());
        CommandScope second;
        EXPECT_FALSE(second.acquired()) << "one command at a time";
    }
    bool triedDuringWait = false;
    bool acquiredDuringWait = true;
    QTimer::singleShot(10, [&] {
        CommandScope during;
        acquiredDuringWait = during.acquired();
        triedDuringWait = true;
        EXPECT_TRUE(WaitRunning());
    });
    ServeEventsUntil([&] { return triedDuringWait; });
    EXPECT_FALSE(acquiredDuringWait);
    EXPECT_FALSE(WaitRunning());
    CommandScope after;
    EXPECT_TRUE(after.acquired());
}

}  // namespace
}  // namespace kinoloop
