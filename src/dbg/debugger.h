// The debugger's core, shared by the Debug Adapter Protocol and the command
// line: it runs a program exactly as oxelc does (the driver's
// run_main_file) on a thread of its own, on the observed machine, and stops
// it inside the observer's reports. While the program is stopped, its
// thread waits in that report and the frames are whole, so the controlling
// thread reads them (frames(), locals()) without a race; resume() lets it
// go on. Everything the controller and the program share sits under one mutex.
//
// The run's life: start() compiles the program and holds it before its
// first statement; begin() lets it run; it stops at breakpoints, steps,
// pauses, watched changes and (when asked) run-time errors; it ends with the
// exit status oxelc gives. terminate() ends it early from any state.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "compiler/debug_info_recorder.h"
#include "dbg/shown_values.h"
#include "driver/driver.h"
#include "machine/machine.h"

namespace oxel::dbg {

enum class StopReason { entry, breakpoint, function_breakpoint, step, pause, exception, watch };

// Where the program stopped and why. `breakpoint` is the id of the line or
// function breakpoint hit; `text` the failure's message or the watch's change.
struct Stop {
    StopReason reason;
    int breakpoint = 0;
    std::string text;
};

enum class Resume { run, next, step_in, step_out };

// A line breakpoint as asked for and as placed.
struct LineBreakpoint {
    int id = 0;
    std::string file;  // as asked for
    std::uint32_t line = 0;
    std::optional<Condition> condition;
    std::uint64_t hit_at = 0;  // stop from this hit on; 0: every hit
    // Placed: the first statement line at or after `line`, in `placed_file`.
    bool verified = false;
    std::uint32_t placed_line = 0;
    std::string_view placed_file;
    std::string message;  // why not placed
    std::uint64_t hits = 0;
};

struct FunctionBreakpoint {
    int id = 0;
    std::string name;
    bool verified = false;
};

class Debugger : private RunObserver, private ProgramRunner {
public:
    struct Listener {
        // On the program's thread, before it waits.
        std::function<void(const Stop&)> stopped;
        // On the program's thread, as it ends: oxelc's exit status, or
        // nothing when terminate() ended it.
        std::function<void(std::optional<int> status)> ended;
    };
    explicit Debugger(Listener listener);
    ~Debugger();
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    // Compiles `path` on the program's thread and waits until it is ready to
    // run or has ended (did not compile: the report is written and ended()
    // told). False if started before.
    bool start(std::string path);
    // Lets a started program run; it stops first of all when `stop_on_entry`.
    void begin(bool stop_on_entry);
    bool started() const;
    bool running() const;  // begun and neither stopped nor ended
    bool stopped() const;
    bool ended() const;
    // Blocks until the program stops or ends (for the command line).
    void wait();

    // Resumes a stopped program; false when it is not stopped.
    bool resume(Resume how);
    // Asks a running program to stop at its next statement.
    void pause();
    // Ends the program, whatever it is doing, and joins its thread.
    void terminate();

    // Breakpoints, placed once the program is compiled. Each call replaces
    // the set of its kind (of one file, for lines); ids of 0 get new ones.
    std::vector<LineBreakpoint> set_line_breakpoints(std::string_view file, std::vector<LineBreakpoint> wanted);
    // Ids of 0 are given new ones; others are kept.
    std::vector<FunctionBreakpoint> set_function_breakpoints(std::vector<FunctionBreakpoint> wanted);
    void stop_on_errors(bool on);
    // Watches a variable of the innermost frame (while stopped): the program
    // stops after a statement that changes it. False: no such variable.
    bool watch(std::string_view name);

    // While stopped: the frames, innermost first.
    std::vector<FrameView> frames() const;
    // The named variables of frame `index` (innermost 0).
    std::vector<Local> locals(std::size_t index) const;
    // The program's sources (path as opened, text), once compiled.
    const Program* program() const;

private:
    enum class State { idle, compiling, ready, running, stopped, ended };

    void statement(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) override;
    void called(const Machine& machine, std::uint32_t chunk) override;
    void returned(const Machine& machine, std::uint32_t chunk) override;
    void failed(const Machine& machine, const Failure& failure) override;
    CompileObserver* compile_observer() override { return &recorder_; }
    void run(Program program) override;

    void thread_main(std::string path);
    // Stops the program's thread here until resumed; throws Terminated
    // when terminate() ends it. Called with `lock` held.
    void stop_here(std::unique_lock<std::mutex>& lock, Stop stop);
    void place(LineBreakpoint& breakpoint) const;
    std::optional<Stop> breakpoint_stop(const Machine& machine, std::uint32_t chunk, std::uint32_t statement);
    std::optional<Stop> watch_stop(const Machine& machine);
    // On the program's thread, under the lock: what it may skip the lock for.
    void look_again();
    // Nothing changed since look_again() found the run quiet: only an armed
    // line or function can stop it.
    bool quiet() const { return quiet_ && changes_.load(std::memory_order_acquire) == seen_changes_; }
    bool on_armed_line(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) const;
    // Under the lock, after any change the controller makes to what can stop the run.
    void changed() { changes_.fetch_add(1, std::memory_order_release); }

    Listener listener_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::idle;
    bool terminating_ = false;
    bool stop_on_entry_ = false;
    bool stop_on_errors_ = false;
    bool pause_wanted_ = false;
    Resume resume_ = Resume::run;
    std::uint64_t resume_depth_ = 0;  // frames when the step began
    int function_hit_ = 0;  // the breakpoint of a function entered, before its first statement
    std::vector<LineBreakpoint> line_breakpoints_;
    std::vector<FunctionBreakpoint> function_breakpoints_;
    int next_id_ = 1;
    struct Watch {
        std::string name;
        std::uint64_t depth;  // the frame it belongs to, counted from 1
        std::uint32_t slot;
        std::string last;  // the value's text
    };
    std::optional<Watch> watch_;

    // The program's thread skips the lock on each statement, call and
    // return while nothing could stop it there: taking it every time was
    // two thirds of a debugged run's time. `changes_` counts the
    // controller's changes; the rest belongs to the program's thread: the
    // count it last saw, whether the run was quiet then (running on, with
    // no step, pause, watch, function just entered or end asked for), and
    // the verified breakpoints' places.
    std::atomic<std::uint64_t> changes_{0};
    std::uint64_t seen_changes_ = ~std::uint64_t{0};
    bool quiet_ = false;
    struct ArmedLine {
        std::string_view file;
        std::uint32_t line;
    };
    std::vector<ArmedLine> armed_lines_;
    std::vector<std::string> armed_functions_;

    DebugInfoRecorder recorder_;
    std::unique_ptr<Machine> machine_;
    std::thread thread_;
};

}  // namespace oxel::dbg
