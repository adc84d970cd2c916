// The profiler: a RunObserver that counts every statement start and call
// exactly, and charges sampled time to the frames running when it passed.
//
// The sampler is a thread that wakes every millisecond and publishes how
// many whole intervals have passed since the run began, read from the
// steady clock (so a late wake-up loses no time); each report of the
// machine reads that number with one relaxed load and charges the intervals
// it has not seen yet to the statement and frames that were running until
// then. No signal handler and no access to another thread's state: the
// same code runs on Linux and Windows, and the run itself is never
// interrupted, so observing changes nothing it does. A statement that
// blocks (reading input) is charged the time it waits, as wall time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "machine/machine.h"
#include "machine/run_observer.h"

namespace oxel::prof {

inline constexpr std::chrono::milliseconds sample_interval{1};

class Sampler {
public:
    Sampler();
    ~Sampler();
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;
    // Intervals passed since the sampler started; they stop growing once stopped.
    std::uint64_t ticks() const { return ticks_.load(std::memory_order_relaxed); }
    void stop();

private:
    std::atomic<std::uint64_t> ticks_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// What a run was found to do, by chunk (as Program::chunks) and statement
// (as ChunkDebugInfo::statements).
struct Profile {
    std::vector<std::vector<std::uint64_t>> starts;   // [chunk][statement]: exact
    std::vector<std::vector<std::uint64_t>> samples;  // [chunk][statement]: sampled
    std::vector<std::uint64_t> calls;                 // [chunk]: frames entered
    std::vector<std::uint64_t> self_samples;          // [chunk]: innermost
    std::vector<std::uint64_t> total_samples;         // [chunk]: anywhere on the stack, once
    // Samples by the chunks of the stack, outermost first.
    std::map<std::vector<std::uint32_t>, std::uint64_t> stacks;
};

class Profiler : public RunObserver {
public:
    // `sampling` off: no sampler runs, and only sample() charges time.
    explicit Profiler(const Machine& machine, bool sampling = true);
    void statement(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) override;
    void called(const Machine& machine, std::uint32_t chunk) override;
    void returned(const Machine& machine, std::uint32_t chunk) override;
    void failed(const Machine& machine, const Failure& failure) override;
    const Profile& profile() const { return profile_; }
    // Charges the intervals not yet seen and stops sampling: after the run.
    void finish();
    // Charges `samples` intervals to the frames running now.
    void sample(std::uint64_t samples) { charge(samples); }

private:
    // A frame as the profiler follows it: its chunk and running statement.
    struct Entry {
        std::uint32_t chunk;
        std::uint32_t statement;  // no_statement before its first
    };
    static constexpr std::uint32_t no_statement = UINT32_MAX;
    void charge(std::uint64_t samples);
    // Points the statement hook at the innermost frame's counts.
    void follow_innermost();
    void catch_up() {
        if (!ticks_)
            return;
        const std::uint64_t now = ticks_->ticks();
        if (now != seen_) [[unlikely]] {
            const std::uint64_t samples = now - seen_;
            seen_ = now;
            charge(samples);
        }
    }

    Profile profile_;
    std::vector<Entry> stack_;  // reserved for every frame: entries never move
    Entry* innermost_ = nullptr;
    std::uint64_t* innermost_starts_ = nullptr;
    std::vector<std::uint32_t> chunks_on_stack_;
    std::vector<std::uint8_t> charged_;
    std::optional<Sampler> sampler_;
    const Sampler* ticks_ = nullptr;  // sampler_'s, when sampling
    std::uint64_t seen_ = 0;
};

}  // namespace oxel::prof
