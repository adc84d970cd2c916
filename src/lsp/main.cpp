// oxel-lsp: the language server, spoken to over standard input and output.
#include <string_view>

#include "base/platform.h"
#include "lsp/server.h"
#include "protocol/standard_input.h"

namespace {

constexpr std::string_view usage =
    "usage: oxel-lsp\n"
    "The language server for Oxel: an editor starts it and speaks the Language\n"
    "Server Protocol to it over standard input and output.\n"
    "  --help     print this and exit\n"
    "  --version  print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    if (!oxel::platform::open_missing_standard_streams())
        return 1;
    oxel::platform::ignore_broken_pipe();
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        oxel::platform::write_stdout(usage);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        oxel::platform::write_stdout("oxel-lsp " OXEL_VERSION "\n");
        return 0;
    }
    if (argc != 1) {
        oxel::platform::write_stderr(std::string(usage));
        return 2;
    }
    oxel::protocol::StandardInput input;
    return oxel::lsp::serve(input, [](std::string_view header, std::string_view body) {
        oxel::platform::write_stdout(header, body);
    });
}
