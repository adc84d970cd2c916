#include "dbg/adapter.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <variant>

#include "base/memory_platform.h"
#include "base/platform.h"
#include "dbg/debugger.h"
#include "dbg/program_console.h"

namespace oxel::dbg {

namespace {

using nlohmann::json;

// A request that cannot be served: its message goes back in the response.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int thread_id = 1;

std::string_view reason_text(StopReason reason) {
    switch (reason) {
        case StopReason::entry: return "entry";
        case StopReason::breakpoint: return "breakpoint";
        case StopReason::function_breakpoint: return "function breakpoint";
        case StopReason::step: return "step";
        case StopReason::pause: return "pause";
        case StopReason::exception: return "exception";
        case StopReason::watch: return "data breakpoint";
    }
    return "pause";
}

std::string joined(std::string_view folder, std::string_view path) {
    if (folder.empty() || path.empty() || path.front() == '/' || path.front() == '\\' ||
        (path.size() > 1 && path[1] == ':'))
        return std::string(path);
    std::string whole(folder);
    if (whole.back() != '/' && whole.back() != '\\')
        whole += '/';
    return whole + std::string(path);
}

// An argument of a request, of the type asked for, or the refusal naming it.
template <typename T>
T argument(const json& arguments, const char* name) {
    if (!arguments.is_object() || !arguments.contains(name))
        throw Refusal(std::string("missing argument '") + name + "'");
    try {
        return arguments.at(name).get<T>();
    } catch (const json::exception&) {
        throw Refusal(std::string("argument '") + name + "' has the wrong type");
    }
}

template <typename T>
T optional_argument(const json& arguments, const char* name, T fallback) {
    if (!arguments.is_object() || !arguments.contains(name) || arguments.at(name).is_null())
        return fallback;
    return argument<T>(arguments, name);
}

class Adapter {
public:
    Adapter(const Output& output, bool may_launch)
        : output_(output),
          may_launch_(may_launch),
          console_([this](bool error, std::string_view bytes) {
              send_event("output", {{"category", error ? "stderr" : "stdout"}, {"output", std::string(bytes)}});
          }),
          debugger_(Debugger::Listener{[this](const Stop& stop) { stopped(stop); },
                                       [this](std::optional<int> status) { ended(status); }}) {}

    // False once the session is over.
    bool receive(const protocol::Frame& frame);
    void finish() { debugger_.terminate(); }

private:
    using Handler = json (Adapter::*)(const json& arguments);
    static const std::map<std::string, Handler, std::less<>> handlers;

    void send(json message);
    void send_event(std::string_view event, json body);
    void respond(std::int64_t request_seq, std::string_view command, bool success, json body, std::string message);
    void stopped(const Stop& stop);
    void ended(std::optional<int> status);

    void need_launch() const;
    void need_stop() const;
    // The locals of a frame or the elements of an array, by reference.
    int reference_to(std::variant<std::size_t, Value> target);
    json variable(std::string_view name, const Value& value);

    json initialize(const json& arguments);
    json launch(const json& arguments);
    json set_breakpoints(const json& arguments);
    json set_function_breakpoints(const json& arguments);
    json set_exception_breakpoints(const json& arguments);
    json configuration_done(const json& arguments);
    json threads(const json& arguments);
    json stack_trace(const json& arguments);
    json scopes(const json& arguments);
    json variables(const json& arguments);
    json evaluate(const json& arguments);
    json resume(Resume how);
    json continue_(const json&) { return resume(Resume::run); }
    json next(const json&) { return resume(Resume::next); }
    json step_in(const json&) { return resume(Resume::step_in); }
    json step_out(const json&) { return resume(Resume::step_out); }
    json pause(const json& arguments);
    json disconnect(const json& arguments);
    json terminate(const json& arguments);

    const Output& output_;
    const bool may_launch_;
    std::mutex sending_;
    std::int64_t seq_ = 1;
    ProgramConsole console_;
    platform::BackendInUse console_in_use_{console_};
    Debugger debugger_;
    bool initialized_ = false;
    bool launched_ = false;
    bool configured_ = false;
    bool stop_on_entry_ = false;
    bool over_ = false;
    std::string folder_;  // the launch's cwd, to make paths whole
    // While stopped: what each variablesReference (1-based) names.
    std::vector<std::variant<std::size_t, Value>> references_;
    // What a request sets going once its response is sent.
    std::function<void()> then_;
};

const std::map<std::string, Adapter::Handler, std::less<>> Adapter::handlers = {
    {"initialize", &Adapter::initialize},
    {"launch", &Adapter::launch},
    {"setBreakpoints", &Adapter::set_breakpoints},
    {"setFunctionBreakpoints", &Adapter::set_function_breakpoints},
    {"setExceptionBreakpoints", &Adapter::set_exception_breakpoints},
    {"configurationDone", &Adapter::configuration_done},
    {"threads", &Adapter::threads},
    {"stackTrace", &Adapter::stack_trace},
    {"scopes", &Adapter::scopes},
    {"variables", &Adapter::variables},
    {"evaluate", &Adapter::evaluate},
    {"continue", &Adapter::continue_},
    {"next", &Adapter::next},
    {"stepIn", &Adapter::step_in},
    {"stepOut", &Adapter::step_out},
    {"pause", &Adapter::pause},
    {"disconnect", &Adapter::disconnect},
    {"terminate", &Adapter::terminate},
};

void Adapter::send(json message) {
    std::lock_guard lock(sending_);
    message["seq"] = seq_++;
    // Program text may hold any bytes: those that are not UTF-8 become U+FFFD.
    const std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
    output_(protocol::frame_header(body), body);
}

void Adapter::send_event(std::string_view event, json body) {
    json message = {{"type", "event"}, {"event", event}};
    if (!body.is_null())
        message["body"] = std::move(body);
    send(std::move(message));
}

void Adapter::respond(std::int64_t request_seq, std::string_view command, bool success, json body,
                      std::string message) {
    json response = {{"type", "response"}, {"request_seq", request_seq}, {"command", command}, {"success", success}};
    if (!message.empty())
        response["message"] = std::move(message);
    if (!body.is_null())
        response["body"] = std::move(body);
    send(std::move(response));
}

void Adapter::stopped(const Stop& stop) {
    json body = {{"reason", reason_text(stop.reason)}, {"threadId", thread_id}, {"allThreadsStopped", true}};
    if (stop.breakpoint != 0)
        body["hitBreakpointIds"] = json::array({stop.breakpoint});
    if (!stop.text.empty())
        body["text"] = stop.text;
    send_event("stopped", std::move(body));
}

void Adapter::ended(std::optional<int> status) {
    if (status)
        send_event("exited", {{"exitCode", *status}});
    send_event("terminated", nullptr);
}

bool Adapter::receive(const protocol::Frame& frame) {
    if (frame.kind == protocol::Frame::Kind::end)
        return false;
    if (frame.kind == protocol::Frame::Kind::malformed) {
        respond(0, "", false, nullptr, "malformed message: " + frame.body);
        return true;
    }
    const json request = json::parse(frame.body, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        respond(0, "", false, nullptr, "malformed message: not a JSON object");
        return true;
    }
    const json seq_field = request.value("seq", json());
    const std::int64_t seq = seq_field.is_number_integer() ? seq_field.get<std::int64_t>() : 0;
    const json command_field = request.value("command", json());
    const std::string command = command_field.is_string() ? command_field.get<std::string>() : "";
    if (request.value("type", json()) != "request" || command.empty()) {
        respond(seq, command, false, nullptr, "not a request");
        return true;
    }
    const auto handler = handlers.find(command);
    if (handler == handlers.end()) {
        respond(seq, command, false, nullptr, "unknown command '" + command + "'");
        return true;
    }
    then_ = nullptr;
    try {
        if (!initialized_ && command != "initialize")
            throw Refusal("initialize first");
        json body = (this->*handler->second)(request.value("arguments", json::object()));
        respond(seq, command, true, std::move(body), "");
    } catch (const Refusal& refusal) {
        respond(seq, command, false, nullptr, refusal.what());
        return !over_;
    } catch (const json::exception& problem) {
        respond(seq, command, false, nullptr, problem.what());
        return !over_;
    }
    // What follows the response: the event or the run that it lets go.
    if (then_)
        then_();
    return !over_;
}

void Adapter::need_launch() const {
    if (!launched_)
        throw Refusal("launch first");
}

void Adapter::need_stop() const {
    if (!debugger_.stopped())
        throw Refusal("the program is not stopped");
}

int Adapter::reference_to(std::variant<std::size_t, Value> target) {
    references_.push_back(target);
    return static_cast<int>(references_.size());
}

json Adapter::variable(std::string_view name, const Value& value) {
    json shown = {{"name", name}, {"value", show(value)}, {"type", kind_name(value)}, {"variablesReference", 0}};
    if (value.is_array()) {
        shown["variablesReference"] = reference_to(value);
        shown["indexedVariables"] = value.array_length();
    }
    return shown;
}

json Adapter::initialize(const json&) {
    if (initialized_)
        throw Refusal("already initialized");
    initialized_ = true;
    return {{"supportsConfigurationDoneRequest", true},
            {"supportsFunctionBreakpoints", true},
            {"supportsConditionalBreakpoints", true},
            {"supportsHitConditionalBreakpoints", true},
            {"supportsTerminateRequest", true},
            {"supportsEvaluateForHovers", true},
            {"exceptionBreakpointFilters",
             json::array({{{"filter", "error"}, {"label", "Run-time errors"}, {"default", false}}})}};
}

json Adapter::launch(const json& arguments) {
    if (launched_)
        throw Refusal("already launched");
    if (!may_launch_)
        throw Refusal("launching is off");
    const auto program = argument<std::string>(arguments, "program");
    folder_ = optional_argument<std::string>(arguments, "cwd", "");
    const auto input = optional_argument<std::string>(arguments, "stdin", "");
    stop_on_entry_ = optional_argument<bool>(arguments, "stopOnEntry", false);
    if (!folder_.empty() && !platform::change_directory(folder_))
        throw Refusal("cannot change to the folder '" + folder_ + "'");
    if (!input.empty() && !console_.read_input_from(input))
        throw Refusal("cannot open '" + input + "' for the program's standard input");
    launched_ = true;
    debugger_.start(program);  // from the folder, as oxelc would be run there
    then_ = [this] { send_event("initialized", nullptr); };
    return nullptr;
}

json Adapter::set_breakpoints(const json& arguments) {
    need_launch();
    const json source = argument<json>(arguments, "source");
    const auto path = argument<std::string>(source, "path");
    // Those refused before placing (why, by position) never reach the debugger.
    std::vector<LineBreakpoint> wanted;
    std::vector<std::string> refused;
    for (const json& asked : optional_argument<json>(arguments, "breakpoints", json::array())) {
        LineBreakpoint breakpoint;
        const auto line = argument<std::int64_t>(asked, "line");
        breakpoint.line = static_cast<std::uint32_t>(std::clamp<std::int64_t>(line, 0, UINT32_MAX));
        std::string why;
        if (const auto condition = optional_argument<std::string>(asked, "condition", ""); !condition.empty()) {
            breakpoint.condition = parse_condition(condition);
            if (!breakpoint.condition)
                why = "a condition is NAME == value (an Int, a Float or a quoted string)";
        }
        if (const auto hits = optional_argument<std::string>(asked, "hitCondition", ""); !hits.empty()) {
            const auto [end, error] = std::from_chars(hits.data(), hits.data() + hits.size(), breakpoint.hit_at);
            if (error != std::errc() || end != hits.data() + hits.size())
                why = "a hit condition is a count";
        }
        if (line < 1)
            why = "no line " + std::to_string(line);
        if (why.empty())
            wanted.push_back(std::move(breakpoint));
        refused.push_back(std::move(why));
    }
    const std::vector<LineBreakpoint> placed = debugger_.set_line_breakpoints(path, std::move(wanted));
    json shown = json::array();
    auto next = placed.begin();
    for (const std::string& why : refused) {
        if (!why.empty()) {
            shown.push_back({{"verified", false}, {"message", why}, {"source", {{"path", path}}}});
            continue;
        }
        const LineBreakpoint& b = *next++;
        json one = {{"id", b.id}, {"verified", b.verified}, {"line", b.verified ? b.placed_line : b.line},
                    {"source", {{"path", path}}}};
        if (!b.verified)
            one["message"] = b.message;
        shown.push_back(std::move(one));
    }
    return {{"breakpoints", std::move(shown)}};
}

json Adapter::set_function_breakpoints(const json& arguments) {
    need_launch();
    std::vector<FunctionBreakpoint> wanted;
    for (const json& asked : argument<json>(arguments, "breakpoints"))
        wanted.push_back(FunctionBreakpoint{0, argument<std::string>(asked, "name"), false});
    json shown = json::array();
    for (const FunctionBreakpoint& b : debugger_.set_function_breakpoints(std::move(wanted))) {
        json one = {{"id", b.id}, {"verified", b.verified}};
        if (!b.verified)
            one["message"] = "no function '" + b.name + "'";
        shown.push_back(std::move(one));
    }
    return {{"breakpoints", std::move(shown)}};
}

json Adapter::set_exception_breakpoints(const json& arguments) {
    bool errors = false;
    for (const json& filter : argument<json>(arguments, "filters")) {
        if (filter != "error")
            throw Refusal("no exception filter " + filter.dump());
        errors = true;
    }
    debugger_.stop_on_errors(errors);
    return nullptr;
}

json Adapter::configuration_done(const json&) {
    need_launch();
    if (configured_)
        throw Refusal("configuration already done");
    configured_ = true;
    then_ = [this] { debugger_.begin(stop_on_entry_); };
    return nullptr;
}

json Adapter::threads(const json&) {
    return {{"threads", json::array({{{"id", thread_id}, {"name", "main"}}})}};
}

json Adapter::stack_trace(const json& arguments) {
    need_stop();
    const std::vector<FrameView> frames = debugger_.frames();
    const auto first = optional_argument<std::size_t>(arguments, "startFrame", 0);
    auto levels = optional_argument<std::size_t>(arguments, "levels", 0);
    if (levels == 0)
        levels = frames.size();
    json shown = json::array();
    for (std::size_t i = first; i < frames.size() && i - first < levels; ++i) {
        const FrameView& frame = frames[i];
        const std::string path = joined(folder_, frame.file);
        const std::size_t slash = path.find_last_of("/\\");
        shown.push_back({{"id", i},
                         {"name", frame.function},
                         {"source", {{"name", slash == std::string::npos ? path : path.substr(slash + 1)}, {"path", path}}},
                         {"line", frame.line},
                         {"column", 1}});
    }
    return {{"stackFrames", std::move(shown)}, {"totalFrames", frames.size()}};
}

json Adapter::scopes(const json& arguments) {
    need_stop();
    const auto frame = argument<std::size_t>(arguments, "frameId");
    if (frame >= debugger_.frames().size())
        throw Refusal("no frame " + std::to_string(frame));
    return {{"scopes", json::array({{{"name", "Locals"}, {"variablesReference", reference_to(frame)}, {"expensive", false}}})}};
}

json Adapter::variables(const json& arguments) {
    need_stop();
    const auto reference = argument<std::size_t>(arguments, "variablesReference");
    if (reference == 0 || reference > references_.size())
        throw Refusal("no variables " + std::to_string(reference));
    const std::variant<std::size_t, Value> target = references_[reference - 1];
    json shown = json::array();
    if (const auto* frame = std::get_if<std::size_t>(&target)) {
        for (const Local& local : debugger_.locals(*frame))
            shown.push_back(variable(local.name, local.value));
        return {{"variables", std::move(shown)}};
    }
    const Value array = std::get<Value>(target);
    const std::uint64_t length = array.array_length();
    const auto start = optional_argument<std::uint64_t>(arguments, "start", 0);
    auto count = optional_argument<std::uint64_t>(arguments, "count", 0);
    if (count == 0 || count > length)
        count = length;
    for (std::uint64_t i = start; i < length && i - start < count; ++i)
        shown.push_back(variable("[" + std::to_string(i) + "]", Value::integer(array.array_elements()[i])));
    return {{"variables", std::move(shown)}};
}

json Adapter::evaluate(const json& arguments) {
    need_stop();
    const auto expression = argument<std::string>(arguments, "expression");
    const auto frame = optional_argument<std::size_t>(arguments, "frameId", 0);
    for (const Local& local : debugger_.locals(frame)) {
        if (local.name == expression) {
            json shown = variable(local.name, local.value);
            return {{"result", shown["value"]}, {"type", shown["type"]}, {"variablesReference", shown["variablesReference"]}};
        }
    }
    throw Refusal("no variable '" + expression + "' in this frame");
}

json Adapter::resume(Resume how) {
    need_stop();
    references_.clear();
    // The response goes before whatever the program does next.
    then_ = [this, how] { debugger_.resume(how); };
    return how == Resume::run ? json{{"allThreadsContinued", true}} : json(nullptr);
}

json Adapter::pause(const json&) {
    need_launch();
    if (!debugger_.running())
        throw Refusal("the program is not running");
    debugger_.pause();
    return nullptr;
}

json Adapter::disconnect(const json&) {
    over_ = true;
    debugger_.terminate();
    return nullptr;
}

json Adapter::terminate(const json&) {
    need_launch();
    debugger_.terminate();
    return nullptr;
}

}  // namespace

int serve_adapter(protocol::ByteSource& input, const Output& output, bool may_launch) {
    Adapter adapter(output, may_launch);
    protocol::MessageReader reader(input);
    while (adapter.receive(reader.next())) {
    }
    adapter.finish();
    return 0;
}

}  // namespace oxel::dbg
