// The tier's bookkeeping: when to compile, where the code lives, when to
// give a loop up. The code itself is made in jit_compile.cpp.
#include "machine/jit_tier.h"

#include <cstring>
#include <limits>

namespace oxel {

std::optional<InternalOp> CompiledCode::original(const Instruction& in) const {
    const InternalOp op = static_cast<InternalOp>(in.op);
    if (op == InternalOp::jit_loop) {
        auto found = loops.find(&in);
        return found == loops.end() ? std::nullopt : std::optional(found->second.original);
    }
    if (op == InternalOp::jit_call) {
        auto found = functions.find(&in);
        return found == functions.end() ? std::nullopt : std::optional(found->second.original);
    }
    return op;
}

JitMode parse_jit_mode(std::optional<std::string_view> setting) {
    if (setting == "off")
        return JitMode::off;
    if (setting == "eager")
        return JitMode::eager;
    return JitMode::normal;
}

JitMode jit_mode_from_environment() {
    static const JitMode mode = [] {
        const std::optional<std::string> setting = platform::environment_variable("OXEL_JIT");
        return parse_jit_mode(setting ? std::optional<std::string_view>(*setting) : std::nullopt);
    }();
    return mode;
}

JitTier::JitTier(JitMode mode) : mode_(mode) {
#ifndef OXEL_JIT_AVAILABLE
    mode_ = JitMode::off;
#endif
}

JitTier::~JitTier() {
    for (const platform::CodeMemory& memory : memory_)
        platform::release_code_memory(memory);
}

std::uint32_t JitTier::countdown_start() const {
    switch (mode_) {
        case JitMode::off:
            return std::numeric_limits<std::uint32_t>::max();
        case JitMode::eager:
            return 1;
        case JitMode::normal:
            break;
    }
    return hot_back_jumps;
}

// Compiles at `in` unless it was tried before: on success the code's
// record goes into `records` (with the opcode `in` had) and `in` becomes
// `stand_in`.
template <typename Records, typename Compile>
bool JitTier::compile_at(Instruction& in, InternalOp stand_in, std::unordered_set<const Instruction*>& tried,
                         Records& records, Compile compile) {
    if (mode_ == JitMode::off || !tried.insert(&in).second)
        return false;
    void* const code = install(compile());
    if (code == nullptr)
        return false;
    using Code = decltype(Records::mapped_type::code);
    records[&in] = {reinterpret_cast<Code>(code), static_cast<InternalOp>(in.op), 0};
    in.op = as_opcode(stand_in);
    return true;
}

void JitTier::look_at(Instruction& close, const JitFrame& frame) {
    if (compile_at(close, InternalOp::jit_loop, tried_, code_.loops, [&] { return compile_loop(close, frame, code_); }))
        ++compiled_;
}

// The code compiled at `in` left early (a loop) or refused to run (a
// function): after max_deopts times, `in` goes back to its own opcode for
// good, and true. The code stays mapped (it is counted until the machine
// goes) but is never entered again.
template <typename Records>
bool JitTier::missed(Instruction& in, Records& records) {
    auto& record = records.at(&in);
    if (++record.misses < max_deopts)
        return false;
    in.op = as_opcode(record.original);
    records.erase(&in);
    return true;
}

void JitTier::left_early(Instruction& close) {
    if (missed(close, code_.loops))
        ++given_up_;
}

void JitTier::look_at_function(Instruction& first, std::size_t chunk, const JitFrame& frame) {
    if (compile_at(first, InternalOp::jit_call, tried_functions_, code_.functions,
                   [&] { return compile_function(chunk, frame, code_); }))
        ++compiled_functions_;
}

void JitTier::refused(Instruction& first) { missed(first, code_.functions); }

// Pieces of code are packed: each goes after the last in the newest block
// of pages, which is made writable for the copy and executable again. That
// is safe because none of it runs meanwhile: the tier compiles from the
// interpreter, and compiled code never calls out. A piece that does not fit
// starts a block of the pages it needs, paid from the run's memory.
void* JitTier::install(const std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t alignment = 16;
    if (bytes.empty())
        return nullptr;
    if (!memory_.empty()) {
        const platform::CodeMemory& last = memory_.back();
        const std::size_t at = (used_ + alignment - 1) / alignment * alignment;
        if (at <= last.size && bytes.size() <= last.size - at && platform::make_code_writable(last)) {
            auto* const address = static_cast<std::uint8_t*>(last.address) + at;
            std::memcpy(address, bytes.data(), bytes.size());
            if (!platform::make_code_executable(last)) {
                // The code already there cannot run any more.
                stop_compiling();
                return nullptr;
            }
            used_ = at + bytes.size();
            return address;
        }
    }
    if (code_bytes_ + bytes.size() > max_code_bytes)
        return nullptr;
    const std::optional<platform::CodeMemory> memory = platform::allocate_code_memory(bytes.size());
    if (!memory)
        return nullptr;
    if (budget_ != nullptr) {
        if (memory->size > budget_->left) {
            platform::release_code_memory(*memory);
            return nullptr;
        }
        budget_->left -= memory->size;
    }
    std::memcpy(memory->address, bytes.data(), bytes.size());
    if (!platform::make_code_executable(*memory)) {
        platform::release_code_memory(*memory);
        if (budget_ != nullptr)
            budget_->left += memory->size;
        return nullptr;
    }
    memory_.push_back(*memory);
    code_bytes_ += memory->size;
    used_ = bytes.size();
    return memory->address;
}

void JitTier::stop_compiling() {
    for (const auto& [close, loop] : code_.loops)
        const_cast<Instruction*>(close)->op = as_opcode(loop.original);
    for (const auto& [first, function] : code_.functions)
        const_cast<Instruction*>(first)->op = as_opcode(function.original);
    code_.loops.clear();
    code_.functions.clear();
    mode_ = JitMode::off;
}

}  // namespace oxel
