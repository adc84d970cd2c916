// Compiles arbitrary bytes as a main file, with headers from the input's
// own table of files, then lists the program and prepares it to run. Any
// crash or sanitizer report is a finding; compile errors are not.
#include <cstddef>
#include <cstdint>

#include "base/memory_platform.h"
#include "fuzz_case.h"
#include "image/listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oxel;
    const fuzz::Case c = fuzz::split_case({reinterpret_cast<const char*>(data), size});
    const std::optional<Program> program = fuzz::compile_case(c);
    if (!program)
        return 0;
    platform::MemoryBackend listing;
    platform::BackendInUse in_use(listing);
    dump_program(*program);
    Machine prepared(*program);
    return 0;
}
