#include "PictureTesting.h"

#include "generate/PreparationPool.h"
#include "generate/PreparationScheduler.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <system_error>
#include <thread>

using namespace veskaro;

namespace {

constexpr std::uint64_t MiB = 1024 * 1024;

struct Plan {
    const char* name;
    std::vector<std::uint64_t> estimates;
    int workers;
    std::uint64_t budget;
    int mostAtOnce; // the most pictures the plan lets run together
};

void PrintTo(const Plan& plan, std::ostream* out) {
    *out << plan.name;
}

class PreparationSchedulerTest : public testing::TestWithParam<Plan> {};

} // namespace

// Runs the plan with pictures finishing in a shuffled order and checks at every step that the running
// estimates fit the budget (or one picture runs alone), that no more run than there are workers, and
// that pictures start in item order but for one at a time that goes ahead of the first waiting one.
TEST_P(PreparationSchedulerTest, KeepsTheRunningEstimatesWithinTheBudget) {
    const Plan& plan = GetParam();
    for (unsigned seed = 0; seed < 20; ++seed) {
        PreparationScheduler scheduler(plan.estimates, plan.workers, plan.budget);
        std::mt19937 random(seed);
        std::vector<std::size_t> running;
        std::vector<bool> begun(plan.estimates.size(), false);
        std::size_t started = 0;
        int mostAtOnce = 0;
        while (!scheduler.exhausted() || !running.empty()) {
            while (const std::optional<std::size_t> next = scheduler.startNext()) {
                ASSERT_FALSE(begun[*next]) << "picture " << *next << " starts twice";
                const std::size_t first = std::find(begun.begin(), begun.end(), false) - begun.begin();
                begun[*next] = true;
                ++started;
                const auto ahead = [&](std::size_t index) { return index > first; };
                ASSERT_LE(std::count_if(running.begin(), running.end(), ahead) + (ahead(*next) ? 1 : 0), 1)
                    << "picture " << *next << " goes ahead of picture " << first << " beside another";
                running.push_back(*next);
            }
            ASSERT_FALSE(running.empty()) << "a picture waits while nothing runs";
            ASSERT_LE(static_cast<int>(running.size()), plan.workers);
            std::uint64_t sum = 0;
            for (const std::size_t index : running)
                sum += plan.estimates[index];
            ASSERT_EQ(scheduler.runningEstimate(), sum);
            ASSERT_TRUE(sum <= plan.budget || running.size() == 1) << sum << " bytes run at once";
            mostAtOnce = std::max(mostAtOnce, static_cast<int>(running.size()));
            const auto finished = running.begin() + static_cast<long>(random() % running.size());
            scheduler.finish(*finished);
            running.erase(finished);
        }
        EXPECT_EQ(started, plan.estimates.size());
        EXPECT_EQ(mostAtOnce, plan.mostAtOnce) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Plans, PreparationSchedulerTest,
    testing::Values(
        Plan{"OneWorkerOneAtATime", {MiB, MiB, MiB}, 1, 128 * MiB, 1},
        Plan{"SmallPicturesFillEveryWorker", std::vector<std::uint64_t>(12, 4 * MiB), 4, 128 * MiB, 4},
        Plan{"TwoGiantsDoNotShareTheBudget", {80 * MiB, 80 * MiB, 80 * MiB}, 2, 128 * MiB, 1},
        Plan{"OverTheBudgetRunsAlone", {2 * MiB, 2 * MiB, 300 * MiB, 2 * MiB, 2 * MiB, 2 * MiB}, 4, 128 * MiB, 3},
        Plan{"ExactlyTheBudgetFits", {64 * MiB, 64 * MiB, 64 * MiB}, 3, 128 * MiB, 2},
        Plan{"SmallPicturesGoAheadOfAGiant", {100 * MiB, 100 * MiB, 10 * MiB, 10 * MiB, 100 * MiB}, 2, 128 * MiB, 2},
        Plan{"NoPictures", {}, 2, 128 * MiB, 0}),
    [](const testing::TestParamInfo<Plan>& row) { return row.param.name; });

// Starting the n-th worker may fail when the system runs short of threads: the workers started before it
// are joined, so the error reaches the command as a message rather than ending the program.
TEST(PreparationPool, ARefusedThreadStopsTheStartedWorkersAndSaysWhy) {
    std::atomic<int> started = 0;
    std::atomic<int> prepared = 0;
    const PreparationPool::ThreadStart refuseThird = [&](std::function<void()> loop) {
        if (++started == 3)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(loop));
    };
    const std::string error = veskaro::test::errorOf([&] {
        PreparationPool pool(
            PreparationScheduler(std::vector<std::uint64_t>(50, MiB), 4, 128 * MiB), 4,
            [&](std::size_t, const MemoryCharge&) { ++prepared; }, refuseThird);
    });
    EXPECT_EQ(error.rfind("The pictures cannot be prepared: the system refused to start a worker (", 0), 0u) << error;
    EXPECT_EQ(started, 3);
}

// While the next picture waits for the memory of the one running, a later one that fits takes the idle
// worker, one at a time; the waiting one then waits for no more than that one.
TEST(PreparationScheduler, OneLaterPictureThatFitsGoesAheadOfAWaitingOne) {
    PreparationScheduler scheduler({100 * MiB, 100 * MiB, 10 * MiB, 10 * MiB, 10 * MiB}, 2, 128 * MiB);
    ASSERT_EQ(scheduler.startNext(), 0u);
    EXPECT_EQ(scheduler.startNext(), 2u) << "picture 1 does not fit beside picture 0";
    scheduler.finish(2);
    EXPECT_EQ(scheduler.startNext(), 3u) << "the worker is idle again";
    scheduler.finish(0);
    EXPECT_EQ(scheduler.startNext(), 1u) << "110 MiB fit";
    scheduler.finish(3);
    EXPECT_EQ(scheduler.startNext(), 4u);
    EXPECT_TRUE(scheduler.exhausted());

    PreparationScheduler tight({100 * MiB, 120 * MiB, 20 * MiB, 10 * MiB}, 2, 128 * MiB);
    ASSERT_EQ(tight.startNext(), 0u);
    ASSERT_EQ(tight.startNext(), 2u);
    tight.finish(0);
    EXPECT_EQ(tight.startNext(), std::nullopt) << "picture 1 waits for picture 2 alone, and none goes ahead of it";
    tight.finish(2);
    EXPECT_EQ(tight.startNext(), 1u);
    EXPECT_EQ(tight.startNext(), std::nullopt);
    tight.finish(1);
    EXPECT_EQ(tight.startNext(), 3u);
}

// Picture 2 goes ahead of picture 1 and fails: picture 1 is still prepared, so that the failure the command
// reports is the first in item order, and no picture after the failure starts once it is known.
TEST(PreparationPool, AFailureAheadStillPreparesThePicturesBeforeIt) {
    std::atomic<bool> failed{false};
    std::vector<std::atomic<bool>> prepared(4);
    PreparationPool pool(PreparationScheduler({100 * MiB, 100 * MiB, 10 * MiB, 10 * MiB}, 2, 128 * MiB), 2,
                         [&](std::size_t job, const MemoryCharge&) {
                             if (job == 2) {
                                 failed = true;
                                 throw VeskaroError("picture 2 cannot be read");
                             }
                             while (job == 0 && !failed)
                                 std::this_thread::yield();
                             prepared[job] = true;
                         });
    const auto noStop = [] { return false; };
    EXPECT_TRUE(pool.waitFor(0, noStop));
    EXPECT_TRUE(pool.waitFor(1, noStop));
    EXPECT_EQ(veskaro::test::errorOf([&] { pool.waitFor(2, noStop); }), "picture 2 cannot be read");
    pool.stop();
    EXPECT_TRUE(prepared[1]);

    PreparationScheduler scheduler({100 * MiB, 100 * MiB, 10 * MiB, 10 * MiB}, 2, 128 * MiB);
    ASSERT_EQ(scheduler.startNext(), 0u);
    ASSERT_EQ(scheduler.startNext(), 2u);
    scheduler.closeAfter(2);
    scheduler.finish(2);
    scheduler.finish(0);
    EXPECT_EQ(scheduler.startNext(), 1u);
    EXPECT_TRUE(scheduler.exhausted());
}

// A picture whose decoding finds it needs more than its estimate waits until the budget holds it.
TEST(PreparationScheduler, APictureThatNeedsMoreWaitsForTheOthersToFinish) {
    PreparationScheduler scheduler({10 * MiB, 10 * MiB, 10 * MiB}, 3, 128 * MiB);
    ASSERT_EQ(scheduler.startNext(), 0u);
    ASSERT_EQ(scheduler.startNext(), 1u);
    scheduler.charge(0, 5 * MiB);
    EXPECT_TRUE(scheduler.mayGoOn(0)) << "less than its estimate";
    EXPECT_EQ(scheduler.runningEstimate(), 20 * MiB);
    scheduler.charge(0, 120 * MiB);
    EXPECT_EQ(scheduler.runningEstimate(), 130 * MiB);
    EXPECT_FALSE(scheduler.mayGoOn(0));
    EXPECT_EQ(scheduler.startNext(), std::nullopt) << "no picture starts while one waits for memory";
    scheduler.finish(1);
    EXPECT_TRUE(scheduler.mayGoOn(0));
    EXPECT_EQ(scheduler.startNext(), std::nullopt) << "the 120 MiB leave no room for 10 more";
    scheduler.finish(0);
    EXPECT_EQ(scheduler.runningEstimate(), 0u);
    EXPECT_EQ(scheduler.startNext(), 2u);
}

// A picture that has freed its decoded picture and is being encoded leaves room for the next one.
TEST(PreparationScheduler, APictureThatGaveMemoryBackLetsTheNextStartBesideIt) {
    PreparationScheduler scheduler({100 * MiB, 60 * MiB}, 2, 128 * MiB);
    ASSERT_EQ(scheduler.startNext(), 0u);
    EXPECT_EQ(scheduler.startNext(), std::nullopt) << "60 MiB do not fit beside 100";
    scheduler.lower(0, 20 * MiB);
    EXPECT_EQ(scheduler.startNext(), 1u);
    scheduler.lower(0, 50 * MiB);
    EXPECT_EQ(scheduler.runningEstimate(), 80 * MiB) << "a figure above the estimate is no memory given back";
    scheduler.finish(0);
    scheduler.finish(1);
    EXPECT_EQ(scheduler.runningEstimate(), 0u);
}

// When every running picture waits for more, none could give memory back: the first goes on, as a
// picture larger than the budget runs alone, and the next after it.
TEST(PreparationScheduler, PicturesThatAllNeedMoreGoOnInItemOrder) {
    PreparationScheduler scheduler({10 * MiB, 10 * MiB}, 2, 128 * MiB);
    ASSERT_EQ(scheduler.startNext(), 0u);
    ASSERT_EQ(scheduler.startNext(), 1u);
    scheduler.charge(1, 100 * MiB);
    EXPECT_TRUE(scheduler.mayGoOn(1)) << "110 MiB fit";
    scheduler.charge(1, 400 * MiB);
    EXPECT_FALSE(scheduler.mayGoOn(1)) << "picture 0 still runs and gives memory back when it ends";
    scheduler.charge(0, 400 * MiB);
    EXPECT_FALSE(scheduler.mayGoOn(1));
    EXPECT_TRUE(scheduler.mayGoOn(0));
    scheduler.finish(0);
    EXPECT_TRUE(scheduler.mayGoOn(1)) << "alone now";
    scheduler.finish(1);
    EXPECT_EQ(scheduler.runningEstimate(), 0u);
}

// Picture 0 needs more than fits beside picture 1, so it goes on only after picture 1 has finished.
TEST(PreparationPool, APictureThatNeedsMoreGoesOnOnlyWhenItFits) {
    std::mutex mutex;
    std::vector<std::string> events;
    std::atomic<bool> secondStarted{false}, charging{false};
    const auto record = [&](const std::string& event) {
        const std::lock_guard<std::mutex> guard(mutex);
        events.push_back(event);
    };
    const auto work = [&](std::size_t job, const MemoryCharge& charge) {
        if (job == 0) {
            while (!secondStarted)
                std::this_thread::yield();
            charging = true;
            charge.need(200 * MiB);
            record("0 goes on");
            return;
        }
        secondStarted = true;
        while (!charging)
            std::this_thread::yield();
        // Long enough for picture 0 to go on if nothing held it back.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        record("1 finished");
    };
    {
        PreparationPool pool(PreparationScheduler({10 * MiB, 10 * MiB}, 2, 128 * MiB), 2, work);
        EXPECT_TRUE(pool.waitFor(0, [] { return false; }));
        EXPECT_TRUE(pool.waitFor(1, [] { return false; }));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"1 finished", "0 goes on"}));
}
