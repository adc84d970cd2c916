#include "machine/machine.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "base/error_report.h"
#include "image/line_code.h"
#include "machine/internal_opcodes.h"
#include "machine/verify.h"

namespace oxel {

namespace {

Value* allocate_zeroed(std::size_t count) {
    // calloc: the pages of a large slot area are only touched when used.
    void* memory = std::calloc(count, sizeof(Value));
    if (memory == nullptr)
        throw std::bad_alloc();
    return static_cast<Value*>(memory);
}

bool is_slot(std::int64_t operand, std::uint32_t slot_count) {
    return operand >= 0 && static_cast<std::uint64_t>(operand) < slot_count;
}

Instruction failing(const Instruction& in, InternalOp op, std::int64_t operand) {
    return Instruction{operand, 0, in.line, static_cast<Opcode>(op)};
}

// The operands of an instruction of the image as the loop reads them: a
// jump's target as its address, a slot as its byte offset (as in fused code).
void to_runnable_operands(Instruction& in, const Instruction* code) {
    const OpcodeFacts& facts = facts_of(in.op);
    for (const auto& [kind, field] :
         {std::pair{facts.a, &Instruction::a}, std::pair{facts.b, &Instruction::b}}) {
        switch (kind) {
            case Operand::target:
                in.*field = static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(code + in.*field));
                break;
            case Operand::slot_read:
            case Operand::slot_written:
                in.*field *= static_cast<std::int64_t>(sizeof(Value));
                break;
            case Operand::none:
            case Operand::integer:
            case Operand::float_bits:
            case Operand::string:
            case Operand::chunk:
                break;
        }
    }
}

}  // namespace

Machine::Machine(Program image, bool fuse, RunLimits limits)
    : Machine(std::move(image), DebugInfo{}, false, fuse, limits) {}

Machine::Machine(Program image, DebugInfo debug_info)
    : Machine(std::move(image), std::move(debug_info), true, true, RunLimits{}) {}

Machine::Machine(Program image, DebugInfo debug_info, bool observable, bool fuse, RunLimits limits)
    : program(std::move(image)),
      debug(std::move(debug_info)),
      frames(std::make_unique<Frame[]>(max_frames)),
      stacks_(nullptr, std::free),
      slot_area_(nullptr, std::free),
      jit_(std::make_unique<JitTier>(jit_mode_from_environment())),
      jit_countdown_(jit_->countdown_start()),
      jit_call_countdown_(jit_->countdown_start()),
      observable_(observable),
      budgeted_(limits.steps != 0),
      steps_left_(limits.steps) {
    if (limits.bytes != 0) {
        budget_.left = limits.bytes;
        heap.budget = &budget_;
        jit_->set_budget(&budget_);
    }
    fuse_ = fuse;
    prepare();
    heap.set_root_scanner(&Machine::mark_frames, this);
}

void Machine::set_jit_mode(JitMode mode) {
    jit_ = std::make_unique<JitTier>(mode);
    if (heap.budget != nullptr)
        jit_->set_budget(&budget_);
    jit_countdown_ = jit_call_countdown_ = jit_->countdown_start();
}

JitFrame Machine::jit_frame(const Value* slots) {
    return {slots, [this](std::size_t chunk) -> std::optional<JitCallee> {
                if (chunk >= runnable_.size() || !prepared_[chunk])
                    return std::nullopt;
                const RunnableChunk& run = runnable_[chunk];
                return JitCallee{run.code, run.chunk->code.size(), run.slot_count, run.arity,
                                 {run.zeroed, run.zeroed_count}};
            }};
}

void Machine::jit_look_at(const Instruction* in, const Value* slots) {
    jit_countdown_ = jit_->countdown_start();
    // Runnable code is the machine's own, in its program's chunks.
    jit_->look_at(*const_cast<Instruction*>(in), jit_frame(slots));
}

void Machine::jit_look_at_function(std::size_t chunk, const Value* slots) {
    jit_call_countdown_ = jit_->countdown_start();
    if (!prepared_[chunk])
        return;
    jit_->look_at_function(*const_cast<Instruction*>(runnable_[chunk].code), chunk, jit_frame(slots));
}

bool Machine::jit_called(const Instruction* in, const Value* slots, Value& result) {
    if (jit_->function_at(*in).code(slots, max_frames - frame_count, &result) == nullptr)
        return true;
    jit_->refused(*const_cast<Instruction*>(in));
    return false;
}

const Instruction* Machine::jit_entered(const Instruction* in, Value* slots) {
    const JitLoop& loop = jit_->loop_at(*in);
    const Instruction* const resume = loop.code(slots, max_frames - frame_count);
    if (resume != in + run_length(loop.original))
        jit_->left_early(*const_cast<Instruction*>(in));
    return resume;
}

void Machine::mark_frames(void* machine, RootVisitor& roots) {
    const auto& self = *static_cast<const Machine*>(machine);
    for (std::uint64_t f = 0; f < self.frame_count; ++f) {
        const Frame& frame = self.frames[f];
        roots.visit(frame.slots, frame.slots + frame.slot_count);
        roots.visit(frame.stack, frame.top);
    }
}

void Machine::prepare() {
    const std::size_t count = program.chunks.size();
    runnable_.resize(count);
    entries_.resize(count);
    prepared_.assign(count, 0);
    if (observable_)
        statement_marks_.resize(count);
    std::uint32_t widest = 1;
    for (std::size_t c = 0; c < count; ++c) {
        const Chunk& chunk = program.chunks[c];
        RunnableChunk& run = runnable_[c];
        run.slot_count = std::max<std::uint32_t>({chunk.slots, chunk.arity, 1});
        run.arity = chunk.arity;
        run.chunk = &chunk;
        run.zeroed = nullptr;
        run.zeroed_count = 0;
        entries_[c] = Instruction{static_cast<std::int64_t>(c), 0, 1,
                                  static_cast<Opcode>(InternalOp::enter_unprepared)};
        run.code = &entries_[c];
        widest = std::max(widest, run.slot_count);
    }
    // The top level runs at once, from frame 0, which zeroes all its slots.
    if (const auto top = find_chunk(program, top_chunk_name); top && *top < count)
        prepare_chunk(*top);
    // An observed run reports each statement from the code as it runs, which
    // the entry of an unprepared chunk is not: all of it is made runnable now.
    if (observable_)
        for (std::size_t c = 0; c < count; ++c)
            prepare_chunk(c);
    stacks_.reset(allocate_zeroed(max_frames * max_stack));
    slot_area_.reset(allocate_zeroed(max_frames * static_cast<std::size_t>(widest)));
}

void Machine::prepare_chunk(std::size_t index) {
    if (prepared_[index])
        return;
    prepared_[index] = 1;
    Chunk& chunk = program.chunks[index];
    RunnableChunk& run = runnable_[index];
    const auto end = static_cast<std::int64_t>(chunk.code.size());
    for (Instruction& in : chunk.code) {
        Instruction out = in;
        auto op = static_cast<std::uint8_t>(in.op);
        auto slot_ok = [&](std::int64_t operand) { return is_slot(operand, run.slot_count); };
        if (op >= opcode_count) {
            out = failing(in, InternalOp::bad_opcode, op);
        } else {
            // b first: arrget and fread report a bad b before a bad a.
            const OpcodeFacts& facts = facts_of(in.op);
            for (const auto& [kind, field] :
                 {std::pair{facts.b, &Instruction::b}, std::pair{facts.a, &Instruction::a}}) {
                const std::int64_t operand = in.*field;
                bool names_nothing = false;
                switch (kind) {
                    case Operand::none:
                    case Operand::integer:
                    case Operand::float_bits:
                        break;
                    case Operand::target:
                        if (operand < 0 || operand > end)
                            out.*field = end;  // off the end: "Fell off chunk"
                        break;
                    case Operand::slot_read:
                    case Operand::slot_written:
                        names_nothing = !slot_ok(operand);
                        break;
                    case Operand::string:
                        names_nothing =
                            operand < 0 || static_cast<std::uint64_t>(operand) >= program.strings.size();
                        break;
                    case Operand::chunk:
                        names_nothing =
                            operand < 0 || static_cast<std::uint64_t>(operand) >= program.chunks.size();
                        break;
                }
                if (names_nothing) {
                    out = failing(in, InternalOp::bad_slot, operand);
                    break;
                }
            }
        }
        in = out;
    }
    chunk.code.push_back(Instruction{0, 0, 1, static_cast<Opcode>(InternalOp::fell_off)});
    if (observable_)
        mark_statements(index);
    // The slots a call zeroes (frame 0 zeroes all of its own). On the checked
    // code, before fusing: the fused forms read and write the slots of their
    // runs in the same order.
    // An observed machine zeroes every slot past the parameters: a tool reads
    // the locals a statement has not written yet, and a value an earlier
    // call left there may name heap memory released since.
    SlotsReadFirst read_first;
    const std::span<const std::uint32_t> zeroed = read_first.find(chunk.code, run.slot_count, run.arity);
    std::vector<std::uint32_t>& kept = zeroed_slots_.emplace_back(zeroed.begin(), zeroed.end());
    if (observable_) {
        kept.clear();
        for (std::uint32_t slot = run.arity; slot < run.slot_count; ++slot)
            kept.push_back(slot);
    }
    run.zeroed = kept.data();
    run.zeroed_count = static_cast<std::uint32_t>(kept.size());
    // Fused handlers run without stack checks: only where the heights are
    // known to fit.
    if (fuse_ && verify_stack_heights(chunk.code, program))
        fuse_instructions(chunk.code, fused_operands_,
                          observable_ ? std::span<const std::uint32_t>(statement_marks_[index])
                                      : std::span<const std::uint32_t>());
    // Last, when the code will move no more: jumps to addresses, and slots,
    // read by the analysis and the fuser as numbers, to offsets.
    for (Instruction& in : chunk.code)
        if (static_cast<int>(in.op) < opcode_count)
            to_runnable_operands(in, chunk.code.data());
    run.code = chunk.code.data();
}

void Machine::mark_statements(std::size_t c) {
    std::vector<std::uint32_t>& marks = statement_marks_[c];
    marks.assign(program.chunks[c].code.size(), 0);
    if (c < debug.chunks.size()) {
        const auto& statements = debug.chunks[c].statements;
        // Debug info of another image may name instructions past the code
        // (the last one is the machine's fell_off): those are left out.
        for (std::size_t s = 0; s < statements.size(); ++s)
            if (statements[s].at + 1 < marks.size())
                marks[statements[s].at] = static_cast<std::uint32_t>(s + 1);
    }
    runnable_[c].statement_marks = marks.data();
}

const StatementStart* Machine::statement_of(const Frame& frame) const {
    const std::uint32_t c = chunk_index(frame);
    if (c >= debug.chunks.size() || frame.ip <= program.chunks[c].code.data())
        return nullptr;
    const auto& statements = debug.chunks[c].statements;
    const auto at = static_cast<std::uint32_t>(frame.ip - 1 - program.chunks[c].code.data());
    auto after = std::upper_bound(statements.begin(), statements.end(), at,
                                  [](std::uint32_t index, const StatementStart& s) { return index < s.at; });
    return after == statements.begin() ? nullptr : &*(after - 1);
}

namespace {

bool is_image_fault(FailureKind kind) {
    return kind == FailureKind::bad_opcode || kind == FailureKind::bad_slot ||
           kind == FailureKind::fell_off_chunk || kind == FailureKind::stack_underflow ||
           kind == FailureKind::stack_overflow || kind == FailureKind::no_code;
}


}  // namespace

void Machine::record_calls(Failure& failure) const {
    if (frame_count == 0)
        return;
    const std::string_view main_file = program.sources.empty() ? std::string_view{} : program.sources.front().first;
    failure.calls.reserve(frame_count);
    failure.calls.push_back(
        CallSite{std::string(frames[frame_count - 1].chunk->name), failure.where.file, failure.where.line});
    for (std::uint64_t f = frame_count - 1; f-- > 0;) {
        const Frame& caller = frames[f];
        const std::string_view file = caller.chunk->file.empty() ? main_file : caller.chunk->file;
        // a caller's ip is just past its call, whatever form the call took
        failure.calls.push_back(
            CallSite{std::string(caller.chunk->name), std::string(file), current_line(caller.ip)});
    }
}

void place_run_time_failure(Failure& failure, const Program& program, std::string_view chunk_file) {
    failure.report_file = chunk_file;
    std::string_view file = chunk_file;
    if (file.empty() && !program.sources.empty())
        file = program.sources.front().first;
    failure.where.file = file;
    if (is_image_fault(failure.kind) || failure.where.line == 0)
        return;
    for (const auto& [path, text] : program.sources) {
        if (path != file)
            continue;
        std::string_view line = physical_line(text, failure.where.line);
        std::string_view code = line_code(line);
        if (!code.empty()) {
            failure.where.first_column = static_cast<std::uint32_t>(code.data() - line.data()) + 1;
            failure.where.last_column = static_cast<std::uint32_t>(code.data() + code.size() - line.data());
        }
        return;
    }
}

void run(Program program) {
    Machine machine(std::move(program));
    machine.run();
}

}  // namespace oxel
