#include "fuzz_case.h"

#include <new>

#include "base/error_report.h"
#include "base/memory_platform.h"
#include "compiler/program_structure.h"

namespace oxel::fuzz {

Case split_case(std::string_view bytes) {
    Case c;
    for (int piece = 0;; ++piece) {
        const std::size_t end = bytes.find(piece_separator);
        const std::string_view text = bytes.substr(0, end);
        if (piece == 0) {
            c.main = text;
        } else if (piece == 1) {
            c.input = text;
        } else {
            const std::size_t feed = text.find('\n');
            std::string path = platform::MemoryBackend::tidy(text.substr(0, feed));
            const std::string_view body =
                feed == std::string_view::npos ? std::string_view{} : text.substr(feed + 1);
            if (!path.empty())
                c.files[std::move(path)] = body;
        }
        if (end == std::string_view::npos)
            return c;
        bytes.remove_prefix(end + piece_separator.size());
    }
}

std::optional<Program> compile_case(const Case& c, std::string* report) {
    platform::MemoryBackend backend;
    backend.files = c.files;
    platform::BackendInUse in_use(backend);
    try {
        return compile_program(c.main, c.main_path);
    } catch (const Failure& failure) {
        if (report != nullptr)
            *report = format_report(failure);
    } catch (const std::bad_alloc&) {
        if (report != nullptr)
            *report = "OutOfMemory";
    }
    return std::nullopt;
}

Outcome run_case(const Program& program, const Case& c, bool fuse, RunLimits limits) {
    platform::MemoryBackend backend;
    backend.files = c.files;
    backend.input = c.input;
    Outcome outcome;
    {
        platform::BackendInUse in_use(backend);
        try {
            Machine machine(program, fuse, limits);
            machine.run();
            outcome.ending = "end";
        } catch (const Failure& failure) {
            outcome.ending = format_report(failure);
        } catch (const std::bad_alloc&) {
            outcome.ending = "OutOfMemory";
        } catch (const StepBudgetExhausted&) {
            outcome.ending = "steps";
        }
    }
    outcome.out = std::move(backend.out);
    outcome.err = std::move(backend.err);
    outcome.files = std::move(backend.files);
    outcome.input_taken = backend.input_taken;
    return outcome;
}

std::string describe_difference(const Outcome& fused, const Outcome& plain) {
    std::string account;
    auto compare = [&](std::string_view what, const std::string& a, const std::string& b) {
        if (a == b)
            return;
        account += std::string(what) + " differs:\n--- fused ---\n" + a + "\n--- plain ---\n" + b + "\n";
    };
    compare("ending", fused.ending, plain.ending);
    compare("standard output", fused.out, plain.out);
    compare("standard error", fused.err, plain.err);
    if (fused.input_taken != plain.input_taken)
        account += "input taken differs\n";
    if (fused.files != plain.files)
        account += "files differ\n";
    return account;
}

}  // namespace oxel::fuzz
