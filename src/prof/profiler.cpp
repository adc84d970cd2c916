#include "prof/profiler.h"

namespace oxel::prof {

Sampler::Sampler() {
    thread_ = std::thread([this] {
        const auto start = std::chrono::steady_clock::now();
        while (!stop_.load(std::memory_order_relaxed)) {
            std::this_thread::sleep_for(sample_interval);
            const auto passed = std::chrono::steady_clock::now() - start;
            ticks_.store(static_cast<std::uint64_t>(passed / sample_interval), std::memory_order_relaxed);
        }
    });
}

Sampler::~Sampler() { stop(); }

void Sampler::stop() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable())
        thread_.join();
}

Profiler::Profiler(const Machine& machine, bool sampling) {
    const std::size_t chunks = machine.program.chunks.size();
    profile_.starts.resize(chunks);
    profile_.samples.resize(chunks);
    for (std::size_t c = 0; c < chunks && c < machine.debug.chunks.size(); ++c) {
        profile_.starts[c].assign(machine.debug.chunks[c].statements.size(), 0);
        profile_.samples[c].assign(machine.debug.chunks[c].statements.size(), 0);
    }
    profile_.calls.assign(chunks, 0);
    profile_.self_samples.assign(chunks, 0);
    profile_.total_samples.assign(chunks, 0);
    charged_.assign(chunks, 0);
    stack_.reserve(max_frames);
    chunks_on_stack_.reserve(max_frames);
    if (sampling)
        ticks_ = &sampler_.emplace();
}

void Profiler::follow_innermost() {
    innermost_ = stack_.empty() ? nullptr : &stack_.back();
    innermost_starts_ = innermost_ ? profile_.starts[innermost_->chunk].data() : nullptr;
}

void Profiler::statement(const Machine&, std::uint32_t, std::uint32_t statement) {
    catch_up();
    ++innermost_starts_[statement];
    innermost_->statement = statement;
}

void Profiler::called(const Machine&, std::uint32_t chunk) {
    catch_up();
    ++profile_.calls[chunk];
    stack_.push_back(Entry{chunk, no_statement});
    chunks_on_stack_.push_back(chunk);
    follow_innermost();
}

void Profiler::returned(const Machine&, std::uint32_t) {
    catch_up();
    stack_.pop_back();
    chunks_on_stack_.pop_back();
    follow_innermost();
}

void Profiler::failed(const Machine&, const Failure&) { catch_up(); }

void Profiler::finish() {
    catch_up();
    if (sampler_)
        sampler_->stop();
}

void Profiler::charge(std::uint64_t samples) {
    if (stack_.empty())
        return;
    const Entry& innermost = stack_.back();
    if (innermost.statement != no_statement)
        profile_.samples[innermost.chunk][innermost.statement] += samples;
    profile_.self_samples[innermost.chunk] += samples;
    // A recursive function's total counts each sample once.
    for (std::uint32_t chunk : chunks_on_stack_) {
        if (!charged_[chunk]) {
            charged_[chunk] = 1;
            profile_.total_samples[chunk] += samples;
        }
    }
    for (std::uint32_t chunk : chunks_on_stack_)
        charged_[chunk] = 0;
    profile_.stacks[chunks_on_stack_] += samples;
}

}  // namespace oxel::prof
