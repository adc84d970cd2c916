#include "dbg/console.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "base/memory_platform.h"
#include "base/platform.h"
#include "dbg/debugger.h"
#include "dbg/program_console.h"

namespace oxel::dbg {

namespace {

constexpr std::size_t shown_elements = 100;
constexpr std::uint32_t list_around = 5;  // lines before and after

void say(std::string_view text) { platform::write_stdout(text, "\n"); }
void complain(std::string_view text) { platform::write_stderr(std::string(text) + "\n"); }

std::optional<std::uint32_t> number(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Lines from a byte source, without their ends.
class LineReader {
public:
    explicit LineReader(protocol::ByteSource& source) : source_(source) {}
    std::optional<std::string> next() {
        for (;;) {
            if (const std::size_t feed = pending_.find('\n'); feed != std::string::npos) {
                std::string line = pending_.substr(0, feed);
                pending_.erase(0, feed + 1);
                return line;
            }
            char block[4096];
            const std::size_t got = source_.read(block, sizeof block);
            if (got == 0) {
                if (pending_.empty())
                    return std::nullopt;
                return std::exchange(pending_, {});
            }
            pending_.append(block, got);
        }
    }

private:
    protocol::ByteSource& source_;
    std::string pending_;
};

std::string shown(const Value& value) {
    return value.is_array() ? show_elements(value, shown_elements) : show(value);
}

class Console {
public:
    explicit Console(std::string_view path)
        : path_(path),
          debugger_(Debugger::Listener{[this](const Stop& stop) { stop_ = stop; },
                                       [this](std::optional<int> status) { status_ = status; }}) {
        debugger_.stop_on_errors(true);
    }

    // False when the program did not compile (its report is written).
    bool start() {
        debugger_.start(path_);
        return !debugger_.ended();
    }
    // False after quit.
    bool command(std::string_view line);
    void finish() { debugger_.terminate(); }
    int status() const { return status_.value_or(0); }

private:
    void wait_and_report();
    bool need_stop() const {
        if (debugger_.stopped())
            return true;
        complain("The program is not stopped.");
        return false;
    }
    void add_break(std::string_view where);
    void remove_break(std::string_view which);
    void run(std::string_view rest);
    void resume(Resume how);
    void backtrace();
    void print(std::string_view name);
    void info_locals();
    void list(std::string_view rest);
    // The lines of a file of the program; empty when it is none of them.
    std::vector<std::string_view> lines_of(std::string_view file) const;

    std::string path_;
    ProgramConsole console_;
    platform::BackendInUse console_in_use_{console_};
    Debugger debugger_;
    std::optional<Stop> stop_;
    std::optional<int> status_;
    bool begun_ = false;
    std::vector<LineBreakpoint> lines_;
    std::vector<FunctionBreakpoint> functions_;
    // Where `list` goes on: the file and the next line it shows.
    std::string list_file_;
    std::uint32_t list_next_ = 0;
};

bool Console::command(std::string_view line) {
    line = trimmed(line);
    const std::size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view() : trimmed(line.substr(space));
    if (word.empty())
        return true;
    if (word == "quit" || word == "q")
        return false;
    if (word == "break" || word == "b")
        add_break(rest);
    else if (word == "delete" || word == "d")
        remove_break(rest);
    else if (word == "run" || word == "r")
        run(rest);
    else if (word == "continue" || word == "c")
        resume(Resume::run);
    else if (word == "next" || word == "n")
        resume(Resume::next);
    else if (word == "step" || word == "s")
        resume(Resume::step_in);
    else if (word == "finish")
        resume(Resume::step_out);
    else if (word == "backtrace" || word == "bt")
        backtrace();
    else if (word == "print" || word == "p")
        print(rest);
    else if (word == "info" && rest == "locals")
        info_locals();
    else if (word == "list" || word == "l")
        list(rest);
    else if (word == "watch") {
        if (need_stop())
            debugger_.watch(rest) ? say("Watching " + std::string(rest)) : complain("No variable '" + std::string(rest) + "'.");
    } else
        complain("Unknown command '" + std::string(line) + "'.");
    return true;
}

void Console::add_break(std::string_view where) {
    if (where.empty()) {
        complain("break needs a line, FILE:LINE or a function.");
        return;
    }
    const std::size_t colon = where.rfind(':');
    std::optional<std::uint32_t> line = number(where);
    std::string file = path_;
    if (!line && colon != std::string_view::npos) {
        line = number(where.substr(colon + 1));
        file = where.substr(0, colon);
    }
    if (!line) {
        functions_.push_back(FunctionBreakpoint{0, std::string(where), false});
        functions_ = debugger_.set_function_breakpoints(functions_);
        if (!functions_.back().verified) {
            complain("No function '" + std::string(where) + "'.");
            functions_.pop_back();
            return;
        }
        say("Breakpoint " + std::to_string(functions_.back().id) + " at function " + std::string(where));
        return;
    }
    LineBreakpoint wanted;
    wanted.line = *line;
    lines_.push_back(wanted);
    lines_.back().file = file;
    std::vector<LineBreakpoint> same_file;
    for (const LineBreakpoint& b : lines_)
        if (b.file == file)
            same_file.push_back(b);
    same_file = debugger_.set_line_breakpoints(file, same_file);
    const LineBreakpoint placed = same_file.back();
    lines_.pop_back();
    if (!placed.verified) {
        complain("Cannot break at " + file + ":" + std::to_string(*line) + ": " + placed.message + ".");
        same_file.pop_back();
        debugger_.set_line_breakpoints(file, same_file);
        return;
    }
    lines_.push_back(placed);
    say("Breakpoint " + std::to_string(placed.id) + " at " + std::string(placed.placed_file) + ":" +
        std::to_string(placed.placed_line));
}

void Console::remove_break(std::string_view which) {
    if (which.empty()) {
        for (const LineBreakpoint& b : lines_)
            debugger_.set_line_breakpoints(b.file, {});
        lines_.clear();
        functions_.clear();
        debugger_.set_function_breakpoints({});
        say("Deleted all breakpoints");
        return;
    }
    const std::optional<std::uint32_t> id = number(which);
    const auto line = std::find_if(lines_.begin(), lines_.end(), [&](const auto& b) { return id && b.id == int(*id); });
    const auto function =
        std::find_if(functions_.begin(), functions_.end(), [&](const auto& b) { return id && b.id == int(*id); });
    if (line != lines_.end()) {
        const std::string file = line->file;
        lines_.erase(line);
        std::vector<LineBreakpoint> same_file;
        for (const LineBreakpoint& b : lines_)
            if (b.file == file)
                same_file.push_back(b);
        debugger_.set_line_breakpoints(file, same_file);
    } else if (function != functions_.end()) {
        functions_.erase(function);
        debugger_.set_function_breakpoints(functions_);
    } else {
        complain("No breakpoint " + std::string(which) + ".");
        return;
    }
    say("Deleted breakpoint " + std::string(which));
}

void Console::run(std::string_view rest) {
    if (begun_) {
        complain("The program has already been run.");
        return;
    }
    if (!rest.empty()) {
        if (rest.front() != '<') {
            complain("run takes nothing or '< FILE'.");
            return;
        }
        const std::string input(trimmed(rest.substr(1)));
        if (!console_.read_input_from(input)) {
            complain("Cannot open '" + input + "'.");
            return;
        }
    }
    begun_ = true;
    debugger_.begin(false);
    wait_and_report();
}

void Console::resume(Resume how) {
    if (!need_stop())
        return;
    debugger_.resume(how);
    wait_and_report();
}

void Console::wait_and_report() {
    debugger_.wait();
    if (debugger_.ended()) {
        say("Program exited with status " + std::to_string(status()));
        return;
    }
    const std::vector<FrameView> frames = debugger_.frames();
    if (!stop_ || frames.empty())
        return;
    const FrameView& top = frames.front();
    switch (stop_->reason) {
        case StopReason::breakpoint:
        case StopReason::function_breakpoint:
            platform::write_stdout("Breakpoint " + std::to_string(stop_->breakpoint) + ", ");
            break;
        case StopReason::exception:
            say("Error: " + stop_->text);
            break;
        case StopReason::watch:
            say("Watch " + stop_->text);
            break;
        case StopReason::entry:
        case StopReason::step:
        case StopReason::pause:
            break;
    }
    say(std::string(top.function) + " at " + std::string(top.file) + ":" + std::to_string(top.line));
    const std::vector<std::string_view> lines = lines_of(top.file);
    if (top.line >= 1 && top.line <= lines.size())
        say(std::to_string(top.line) + "\t" + std::string(lines[top.line - 1]));
    list_file_ = top.file;
    list_next_ = top.line > list_around ? top.line - list_around : 1;
}

void Console::backtrace() {
    if (!need_stop())
        return;
    const std::vector<FrameView> frames = debugger_.frames();
    for (std::size_t i = 0; i < frames.size(); ++i)
        say("#" + std::to_string(i) + " " + std::string(frames[i].function) + " at " + std::string(frames[i].file) +
            ":" + std::to_string(frames[i].line));
}

void Console::print(std::string_view name) {
    if (!need_stop())
        return;
    for (const Local& local : debugger_.locals(0)) {
        if (local.name == name) {
            say(std::string(name) + " = " + shown(local.value));
            return;
        }
    }
    complain("No variable '" + std::string(name) + "'.");
}

void Console::info_locals() {
    if (!need_stop())
        return;
    const std::vector<Local> locals = debugger_.locals(0);
    if (locals.empty())
        say("No locals.");
    for (const Local& local : locals)
        say(std::string(local.name) + " = " + shown(local.value));
}

void Console::list(std::string_view rest) {
    if (list_file_.empty()) {
        list_file_ = path_;
        list_next_ = 1;
    }
    if (!rest.empty()) {
        const std::optional<std::uint32_t> line = number(rest);
        if (!line) {
            complain("list takes a line number.");
            return;
        }
        list_next_ = *line > list_around ? *line - list_around : 1;
    }
    const std::vector<std::string_view> lines = lines_of(list_file_);
    if (list_next_ > lines.size()) {
        complain("No more lines in " + list_file_ + ".");
        return;
    }
    const std::uint32_t last = std::min<std::uint32_t>(static_cast<std::uint32_t>(lines.size()),
                                                       list_next_ + 2 * list_around);
    for (std::uint32_t n = list_next_; n <= last; ++n)
        say(std::to_string(n) + "\t" + std::string(lines[n - 1]));
    list_next_ = last + 1;
}

std::vector<std::string_view> Console::lines_of(std::string_view file) const {
    std::vector<std::string_view> lines;
    const Program* program = debugger_.program();
    if (!program)
        return lines;
    for (const auto& [path, text] : program->sources) {
        if (path != file)
            continue;
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t feed = rest.find('\n');
            std::string_view line = rest.substr(0, feed);
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            lines.push_back(line);
            rest = feed == std::string_view::npos ? std::string_view() : rest.substr(feed + 1);
        }
        break;
    }
    return lines;
}

}  // namespace

int run_console(std::string_view path, protocol::ByteSource& commands) {
    Console console(path);
    if (!console.start()) {
        console.finish();
        return console.status();
    }
    LineReader reader(commands);
    while (std::optional<std::string> line = reader.next())
        if (!console.command(*line))
            break;
    console.finish();
    return console.status();
}

}  // namespace oxel::dbg
