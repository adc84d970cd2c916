#include "dbg/debugger.h"

#include <algorithm>
#include <new>

#include "base/platform.h"

namespace oxel::dbg {

namespace {

// Unwinds the program's thread out of the run when the debugger ends it.
// Not a std::exception: nothing on the way catches it.
struct Terminated {};

bool same_file(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    const auto first = platform::identify_file(a);
    return first && first == platform::identify_file(b);
}

}  // namespace

Debugger::Debugger(Listener listener) : listener_(std::move(listener)) {}

Debugger::~Debugger() { terminate(); }

bool Debugger::start(std::string path) {
    std::unique_lock lock(mutex_);
    if (state_ != State::idle)
        return false;
    state_ = State::compiling;
    thread_ = std::thread(&Debugger::thread_main, this, std::move(path));
    changed_.wait(lock, [&] { return state_ == State::ready || state_ == State::ended; });
    return true;
}

void Debugger::thread_main(std::string path) {
    std::optional<int> status;
    try {
        status = run_main_file(path, *this);
    } catch (const Terminated&) {
    } catch (const std::bad_alloc&) {
        // As oxelc ends on exhausted memory.
        platform::write_stderr("error: OutOfMemory\n");
        status = 1;
    }
    if (listener_.ended)
        listener_.ended(status);
    std::lock_guard lock(mutex_);
    state_ = State::ended;
    changed_.notify_all();
}

void Debugger::run(Program program) {
    {
        std::unique_lock lock(mutex_);
        machine_ = std::make_unique<Machine>(std::move(program), recorder_.take());
        state_ = State::ready;
        changed_.notify_all();
        changed_.wait(lock, [&] { return state_ != State::ready || terminating_; });
        if (terminating_)
            throw Terminated{};
    }
    // The files the program leaves open are closed when its run ends, as
    // the system closes them when oxelc exits.
    struct CloseFiles {
        Machine& machine;
        ~CloseFiles() { machine.files.close_all(); }
    } close_files{*machine_};
    machine_->run(static_cast<RunObserver&>(*this));
}

void Debugger::begin(bool stop_on_entry) {
    std::lock_guard lock(mutex_);
    if (state_ != State::ready)
        return;
    stop_on_entry_ = stop_on_entry;
    state_ = State::running;
    changed();
    changed_.notify_all();
}

bool Debugger::started() const {
    std::lock_guard lock(mutex_);
    return state_ != State::idle;
}

bool Debugger::running() const {
    std::lock_guard lock(mutex_);
    return state_ == State::running;
}

bool Debugger::stopped() const {
    std::lock_guard lock(mutex_);
    return state_ == State::stopped;
}

bool Debugger::ended() const {
    std::lock_guard lock(mutex_);
    return state_ == State::ended;
}

void Debugger::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return state_ == State::stopped || state_ == State::ended; });
}

bool Debugger::resume(Resume how) {
    std::lock_guard lock(mutex_);
    if (state_ != State::stopped)
        return false;
    resume_ = how;
    resume_depth_ = machine_->frame_count;
    state_ = State::running;
    changed();
    changed_.notify_all();
    return true;
}

void Debugger::pause() {
    std::lock_guard lock(mutex_);
    if (state_ == State::running)
        pause_wanted_ = true;
    changed();
}

void Debugger::terminate() {
    {
        std::lock_guard lock(mutex_);
        terminating_ = true;
        changed();
        changed_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
}

void Debugger::stop_here(std::unique_lock<std::mutex>& lock, Stop stop) {
    state_ = State::stopped;
    pause_wanted_ = false;
    resume_ = Resume::run;
    if (listener_.stopped)
        listener_.stopped(stop);
    changed_.notify_all();
    changed_.wait(lock, [&] { return state_ != State::stopped || terminating_; });
    if (terminating_)
        throw Terminated{};
}

void Debugger::statement(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) {
    if (quiet() && !on_armed_line(machine, chunk, statement))
        return;
    std::unique_lock lock(mutex_);
    if (terminating_)
        throw Terminated{};
    const std::uint64_t depth = machine.frame_count;
    std::optional<Stop> stop;
    if (stop_on_entry_) {
        stop_on_entry_ = false;
        stop = Stop{StopReason::entry, 0, {}};
    } else if (function_hit_ != 0) {
        stop = Stop{StopReason::function_breakpoint, function_hit_, {}};
        function_hit_ = 0;
    }
    if (!stop)
        stop = breakpoint_stop(machine, chunk, statement);
    if (!stop) {
        const bool stepped = (resume_ == Resume::step_in) || (resume_ == Resume::next && depth <= resume_depth_) ||
                             (resume_ == Resume::step_out && depth < resume_depth_);
        if (stepped)
            stop = Stop{StopReason::step, 0, {}};
        else if (pause_wanted_)
            stop = Stop{StopReason::pause, 0, {}};
    }
    if (!stop)
        stop = watch_stop(machine);
    if (stop)
        stop_here(lock, std::move(*stop));
    look_again();
}

void Debugger::called(const Machine& machine, std::uint32_t chunk) {
    const std::string_view name = machine.program.chunks[chunk].name;
    if (quiet() && std::find(armed_functions_.begin(), armed_functions_.end(), name) == armed_functions_.end())
        return;
    std::lock_guard lock(mutex_);
    for (const FunctionBreakpoint& breakpoint : function_breakpoints_)
        if (breakpoint.verified && breakpoint.name == name)
            function_hit_ = breakpoint.id;
    look_again();
}

void Debugger::returned(const Machine& machine, std::uint32_t) {
    if (quiet())  // no function just entered, no watch
        return;
    std::lock_guard lock(mutex_);
    function_hit_ = 0;  // a function left before any statement of it ran
    if (watch_ && machine.frame_count < watch_->depth)
        watch_.reset();  // its frame is gone
    look_again();
}

void Debugger::look_again() {
    const std::uint64_t changes = changes_.load(std::memory_order_relaxed);
    if (changes != seen_changes_) {
        seen_changes_ = changes;
        armed_lines_.clear();
        for (const LineBreakpoint& breakpoint : line_breakpoints_)
            if (breakpoint.verified)
                armed_lines_.push_back({breakpoint.placed_file, breakpoint.placed_line});
        armed_functions_.clear();
        for (const FunctionBreakpoint& breakpoint : function_breakpoints_)
            if (breakpoint.verified)
                armed_functions_.push_back(breakpoint.name);
    }
    quiet_ = !terminating_ && !stop_on_entry_ && function_hit_ == 0 && resume_ == Resume::run && !pause_wanted_ &&
             !watch_;
}

bool Debugger::on_armed_line(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) const {
    if (armed_lines_.empty() || chunk >= machine.debug.chunks.size())
        return false;
    const StatementStart& at = machine.debug.chunks[chunk].statements[statement];
    for (const ArmedLine& armed : armed_lines_)
        if (armed.line == at.line && armed.file == at.file)
            return true;
    return false;
}

void Debugger::failed(const Machine&, const Failure& failure) {
    std::unique_lock lock(mutex_);
    if (terminating_)
        throw Terminated{};
    if (stop_on_errors_)
        stop_here(lock, Stop{StopReason::exception, 0, failure.message});
}

std::optional<Stop> Debugger::breakpoint_stop(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) {
    if (chunk >= machine.debug.chunks.size())
        return std::nullopt;
    const StatementStart& at = machine.debug.chunks[chunk].statements[statement];
    for (LineBreakpoint& breakpoint : line_breakpoints_) {
        if (!breakpoint.verified || breakpoint.placed_line != at.line || breakpoint.placed_file != at.file)
            continue;
        if (breakpoint.condition && !holds(*breakpoint.condition, machine))
            continue;
        if (++breakpoint.hits < breakpoint.hit_at)
            continue;
        return Stop{StopReason::breakpoint, breakpoint.id, {}};
    }
    return std::nullopt;
}

std::optional<Stop> Debugger::watch_stop(const Machine& machine) {
    if (!watch_ || machine.frame_count < watch_->depth)
        return std::nullopt;
    const Value value = machine.frames[watch_->depth - 1].slots[watch_->slot];
    std::string text = value.is_array() ? show_elements(value, 100) : show(value);
    if (text == watch_->last)
        return std::nullopt;
    Stop stop{StopReason::watch, 0, watch_->name + ": " + watch_->last + " -> " + text};
    watch_->last = std::move(text);
    return stop;
}

void Debugger::place(LineBreakpoint& breakpoint) const {
    breakpoint.verified = false;
    if (!machine_) {
        breakpoint.message = "no program";
        return;
    }
    std::optional<std::string_view> file;
    for (const auto& [path, text] : machine_->program.sources)
        if (!file && same_file(path, breakpoint.file))
            file = path;
    if (!file) {
        breakpoint.message = "not a file of this program";
        return;
    }
    std::uint32_t best = 0;
    for (const ChunkDebugInfo& chunk : machine_->debug.chunks)
        for (const StatementStart& at : chunk.statements)
            if (at.file == *file && at.line >= breakpoint.line && (best == 0 || at.line < best))
                best = at.line;
    if (best == 0) {
        breakpoint.message = "no statement at or after line " + std::to_string(breakpoint.line);
        return;
    }
    breakpoint.verified = true;
    breakpoint.placed_line = best;
    breakpoint.placed_file = *file;
    breakpoint.message.clear();
}

std::vector<LineBreakpoint> Debugger::set_line_breakpoints(std::string_view file,
                                                           std::vector<LineBreakpoint> wanted) {
    std::lock_guard lock(mutex_);
    std::erase_if(line_breakpoints_, [&](const LineBreakpoint& b) { return b.file == file; });
    for (LineBreakpoint& breakpoint : wanted) {
        breakpoint.file = file;
        if (breakpoint.id == 0)
            breakpoint.id = next_id_++;
        place(breakpoint);
        line_breakpoints_.push_back(breakpoint);
    }
    changed();
    return wanted;
}

std::vector<FunctionBreakpoint> Debugger::set_function_breakpoints(std::vector<FunctionBreakpoint> wanted) {
    std::lock_guard lock(mutex_);
    for (FunctionBreakpoint& breakpoint : wanted) {
        if (breakpoint.id == 0)
            breakpoint.id = next_id_++;
        breakpoint.verified = machine_ && breakpoint.name != top_chunk_name &&
                              find_chunk(machine_->program, breakpoint.name).has_value();
    }
    function_breakpoints_ = wanted;
    changed();
    return wanted;
}

void Debugger::stop_on_errors(bool on) {
    std::lock_guard lock(mutex_);
    stop_on_errors_ = on;
}

bool Debugger::watch(std::string_view name) {
    std::lock_guard lock(mutex_);
    if (state_ != State::stopped)
        return false;
    for (const Local& local : locals_of(*machine_, 0)) {
        if (local.name == name) {
            const std::string text = local.value.is_array() ? show_elements(local.value, 100) : show(local.value);
            watch_ = Watch{std::string(name), machine_->frame_count, local.slot, text};
            changed();
            return true;
        }
    }
    return false;
}

std::vector<FrameView> Debugger::frames() const {
    std::lock_guard lock(mutex_);
    return state_ == State::stopped ? frames_of(*machine_) : std::vector<FrameView>{};
}

std::vector<Local> Debugger::locals(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return state_ == State::stopped ? locals_of(*machine_, index) : std::vector<Local>{};
}

const Program* Debugger::program() const {
    std::lock_guard lock(mutex_);
    return machine_ ? &machine_->program : nullptr;
}

}  // namespace oxel::dbg
