// The clock and the scheduler together: what a timed object sees as the demo clock advances.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/IAnimateable.h"
#include "core/IEvent.h"
#include "core/ITimeline.h"
#include "engine/k_Engine.h"
#include "core/IAnimationManager.h"
#include "engine/k_World.h"

namespace {

// Records every call it receives, in order, into a shared journal.
struct Recorder : IEvent, IAnimateable {
    Recorder(std::vector<std::string>& journal, const char* name) : journal(journal), name(name) {}
    void Trigger(int type) override { journal.push_back(name + std::string(" T") + std::to_string(type)); }
    void Animate(double progress, int id) override
    {
        journal.push_back(name + std::string(" A") + std::to_string(id) + "@" + std::to_string(progress).substr(0, 4));
    }
    std::vector<std::string>& journal;
    std::string name;
};

// A world that writes its Initialize and Update calls into the journal.
struct JournalWorld : k_World {
    JournalWorld(IEngine* engine, std::vector<std::string>& journal) : k_World(engine, "Journal"), journal(journal) {}
    void Initialize() override { journal.push_back("w init"); }
    void Update() override { journal.push_back("w U"); }
    std::vector<std::string>& journal;
};

class Scheduler : public ::testing::Test {
protected:
    k_Engine engine{L"."};
    ITimeline& clock = *engine.GetTimeline();
    IAnimationManager& manager = *engine.GetAnimationManager();
    std::vector<std::string> journal;
    Recorder a{journal, "a"};
    Recorder b{journal, "b"};

    std::vector<std::string> Step(double seconds)
    {
        journal.clear();
        clock.Advance(seconds);
        return journal;
    }
    using Calls = std::vector<std::string>;
};

TEST_F(Scheduler, TimelineAccumulatesScaledAndRealTime)
{
    clock.Advance(0.5);
    clock.Advance(0.25);
    EXPECT_DOUBLE_EQ(clock.GetRealTime(), 0.75);
    EXPECT_DOUBLE_EQ(clock.GetTime(), 0.75);
    EXPECT_DOUBLE_EQ(clock.GetFrameDelta(), 0.25);
    clock.SetSpeed(2);
    clock.Advance(0.1);
    EXPECT_DOUBLE_EQ(clock.GetTime(), 0.95);
    EXPECT_DOUBLE_EQ(clock.GetRealTime(), 0.85);
}

TEST_F(Scheduler, IntervalBoundsAreInclusive)
{
    manager.AddAnimation(2, 4, &a, 7);
    EXPECT_EQ(Step(1), Calls{});
    EXPECT_EQ(Step(1), Calls{"a A7@0.00"});
    EXPECT_EQ(Step(1), Calls{"a A7@0.50"});
    EXPECT_EQ(Step(1), Calls{"a A7@1.00"});
    EXPECT_EQ(Step(0.01), Calls{});
}

TEST_F(Scheduler, IntervalsSharingAStartRunOverTheFirstOnesSpan)
{
    manager.AddAnimation(1, 2, &a, 1);
    manager.AddAnimation(1, 5, &b, 2);
    EXPECT_EQ(Step(1.5), (Calls{"a A1@0.50", "b A2@0.50"}));
    EXPECT_EQ(Step(1.5), Calls{});
}

TEST_F(Scheduler, IntervalsRunInOrderOfStart)
{
    manager.AddAnimation(2, 6, &b, 2);
    manager.AddAnimation(1, 6, &a, 1);
    EXPECT_EQ(Step(3), (Calls{"a A1@0.40", "b A2@0.25"}));
}

TEST_F(Scheduler, BackwardsTimeWalksIntervalsByDescendingEnd)
{
    manager.AddAnimation(4, 10, &a, 1);
    manager.AddAnimation(0, 8, &b, 2);
    EXPECT_EQ(Step(6), (Calls{"b A2@0.75", "a A1@0.33"}));
    clock.SetSpeed(-1);
    EXPECT_EQ(Step(1), (Calls{"a A1@0.16", "b A2@0.62"}));
}

TEST_F(Scheduler, StandingTimeDrivesOnlyRealTimeRegistrations)
{
    manager.AddAnimation(0, 10, &a, 1);
    manager.AddRealTimeAnimation(0, 10, &b, 2);
    manager.AddEvent(1, &a, 9);
    manager.AddRealTimeEvent(1, &b, 8);
    clock.SetSpeed(0);
    EXPECT_EQ(Step(2), (Calls{"b A2@0.80", "b T8"}));
    EXPECT_DOUBLE_EQ(clock.GetTime(), 0.0);
}

TEST_F(Scheduler, RealTimeProgressRunsFromOneToZero)
{
    manager.AddRealTimeAnimation(2, 6, &a, 3);
    clock.SetSpeed(3);
    EXPECT_EQ(Step(3), Calls{"a A3@0.75"});
}

TEST_F(Scheduler, AnEventJumpedOverStillFiresOnce)
{
    manager.AddEvent(5, &a, 1);
    clock.Advance(4.9);
    EXPECT_EQ(Step(0.2), Calls{"a T1"});
    EXPECT_EQ(Step(0.2), Calls{});
}

TEST_F(Scheduler, OneStepFiresEveryEventPassedEarliestFirst)
{
    manager.AddEvent(3, &b, 3);
    manager.AddEvent(1, &a, 1);
    manager.AddEvent(2, &b, 2);
    manager.AddEvent(2, &a, 22);
    EXPECT_EQ(Step(5), (Calls{"a T1", "b T2", "a T22", "b T3"}));
}

TEST_F(Scheduler, EveryAnimateComesBeforeAnyTrigger)
{
    manager.AddEvent(0.5, &a, 1);
    manager.AddAnimation(0, 2, &b, 2);
    EXPECT_EQ(Step(1), (Calls{"b A2@0.50", "a T1"}));
}

TEST_F(Scheduler, WorldsUpdateAfterEveryAnimateAndTriggerOfTheStep)
{
    JournalWorld world(&engine, journal);
    engine.AddWorld(&world);
    EXPECT_EQ(journal, Calls{"w init"}) << "adding a world initialises it";
    manager.AddAnimation(0, 2, &a, 1);
    manager.AddEvent(0.5, &b, 2);
    manager.AddRealTimeAnimation(0, 2, &b, 3);
    manager.AddRealTimeEvent(0.75, &a, 4);
    EXPECT_EQ(Step(1), (Calls{"a A1@0.50", "b A3@0.50", "b T2", "a T4", "w U"}));
}

TEST_F(Scheduler, EventAtZeroFiresOnTheFirstStep)
{
    manager.AddEvent(0, &a, 1);
    EXPECT_EQ(Step(0.00001), Calls{"a T1"});
    EXPECT_EQ(Step(0.1), Calls{});
}

TEST_F(Scheduler, TheFirstStepNeverFiresAnEventBeforeZero)
{
    manager.AddEvent(-1, &a, 1);
    manager.AddRealTimeEvent(-1, &a, 2);
    manager.AddEvent(0, &b, 3);
    manager.AddRealTimeEvent(0, &b, 4);
    EXPECT_EQ(Step(0.00001), (Calls{"b T3", "b T4"}));
    EXPECT_EQ(Step(1), Calls{});
}

TEST_F(Scheduler, AnEventAtZeroWaitsForTheFirstStepThatMovesTheClock)
{
    manager.AddEvent(0, &a, 1);
    manager.AddEvent(0.5, &a, 2);
    manager.AddRealTimeEvent(0, &b, 3);
    clock.SetSpeed(0);
    EXPECT_EQ(Step(0.25), Calls{"b T3"});
    EXPECT_EQ(Step(0.25), Calls{});
    clock.SetSpeed(1);
    EXPECT_EQ(Step(0.5), (Calls{"a T1", "a T2"}));
    EXPECT_EQ(Step(0.5), Calls{});
}

TEST_F(Scheduler, AnEventAtZeroFiresOnceWhenTheFirstStepRunsBackwards)
{
    manager.AddEvent(0, &a, 1);
    manager.AddEvent(-0.5, &a, 2);
    clock.SetSpeed(-1);
    EXPECT_EQ(Step(1), (Calls{"a T2", "a T1"}));
    clock.SetSpeed(1);
    EXPECT_EQ(Step(0.5), Calls{"a T2"});
    EXPECT_EQ(Step(0.5), Calls{"a T1"}) << "crossing them again forwards fires them again, like any event";
}

TEST_F(Scheduler, StepEndingExactlyOnAnEventFiresItOnce)
{
    manager.AddEvent(0.5, &a, 1);
    EXPECT_EQ(Step(0.5), Calls{"a T1"});
    EXPECT_EQ(Step(0.5), Calls{});
}

TEST_F(Scheduler, BackwardsTimeFiresEventsItCrosses)
{
    manager.AddEvent(2, &a, 1);
    clock.Advance(1);
    clock.Advance(2);  // passes 2 forwards
    clock.SetSpeed(-1);
    EXPECT_EQ(Step(0.5), Calls{});
    EXPECT_EQ(Step(1), Calls{"a T1"});
}

// Fires once, then registers a burst of events at its own time and one later, as an event may
// schedule its own follow-ups from inside its Trigger.
struct Scheduling : IEvent {
    Scheduling(IAnimationManager& manager, IEvent& target, std::vector<std::string>& journal)
        : manager(manager), target(target), journal(journal) {}
    void Trigger(int type) override
    {
        journal.push_back("s T" + std::to_string(type));
        for (int i = 0; i < 32; ++i) manager.AddEvent(1, &target, i);
        manager.AddEvent(2, &target, 99);
        manager.AddRealTimeEvent(1, &target, 100);
    }
    IAnimationManager& manager;
    IEvent& target;
    std::vector<std::string>& journal;
};

TEST_F(Scheduler, ATriggerMayRegisterFurtherEvents)
{
    Scheduling scheduling(manager, a, journal);
    manager.AddEvent(1, &scheduling, 7);
    const Calls first = Step(1.5);
    ASSERT_EQ(first.size(), 34u);  // itself, the 32 due at its own time, then the real-time one
    EXPECT_EQ(first.front(), "s T7");
    EXPECT_EQ(first[1], "a T0");
    EXPECT_EQ(first[32], "a T31");
    EXPECT_EQ(first.back(), "a T100");
    EXPECT_EQ(Step(1), Calls{"a T99"});
}

}  // namespace
