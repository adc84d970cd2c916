#include "in_memory_run.h"

#include "compiler/program_structure.h"

namespace oxel::test {

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
    return in_memory(c, [&] {
        Machine machine(program, fuse, limits);
        machine.run();
    });
}

Outcome run_case_with_jit(const Program& program, const Case& c, JitMode mode, JitCounts* tier, std::size_t bytes) {
    return in_memory(c, [&] {
        Machine machine(program, true, RunLimits{0, bytes});
        machine.set_jit_mode(mode);
        // Counted however the run ends.
        struct Count {
            const Machine& machine;
            JitCounts* tier;
            ~Count() {
                if (tier)
                    *tier = {machine.jit().compiled_loops(), machine.jit().given_up_loops(),
                             machine.jit().compiled_functions(), machine.jit().code_bytes()};
            }
        } count{machine, tier};
        machine.run();
    });
}

}  // namespace oxel::test
