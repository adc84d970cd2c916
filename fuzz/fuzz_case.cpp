#include "fuzz_case.h"

#include "base/memory_platform.h"

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
