#include "prof/summary.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <nlohmann/json.hpp>

#include "image/line_code.h"

namespace oxel::prof {

namespace {

// The place of a file in the program: the main file first, then the headers
// as they were read.
std::size_t file_order(const Program& program, std::string_view file) {
    for (std::size_t i = 0; i < program.sources.size(); ++i)
        if (program.sources[i].first == file)
            return i;
    return program.sources.size();
}

std::string padded(std::string text, std::size_t width, bool left = false) {
    if (text.size() >= width)
        return text;
    const std::string fill(width - text.size(), ' ');
    return left ? text + fill : fill + text;
}

// The code of a line, for the table; empty when the text is not at hand.
std::string_view code_of(const Program& program, std::string_view file, std::uint32_t line) {
    for (const auto& [path, text] : program.sources)
        if (path == file)
            return line_code(physical_line(text, line));
    return {};
}

constexpr std::size_t table_rows = 15;
constexpr std::size_t code_width = 40;

}  // namespace

std::string fixed(double value, int decimals) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc{} ? std::string(buffer, end) : std::string("?");
}

std::string percent(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? std::string("-")
                      : fixed(100.0 * static_cast<double>(part) / static_cast<double>(whole), 1) + "%";
}

double milliseconds(std::uint64_t samples) {
    return static_cast<double>(samples) * std::chrono::duration<double, std::milli>(sample_interval).count();
}

Summary summarize(const Machine& machine, const Profile& profile) {
    Summary summary;
    const Program& program = machine.program;
    std::map<std::pair<std::size_t, std::uint32_t>, LineRow> lines;
    for (std::size_t c = 0; c < profile.starts.size(); ++c) {
        const auto& statements = machine.debug.chunks[c].statements;
        for (std::size_t s = 0; s < statements.size(); ++s) {
            const std::uint64_t count = profile.starts[c][s], samples = profile.samples[c][s];
            if (count == 0 && samples == 0)
                continue;
            const StatementStart& start = statements[s];
            LineRow& row = lines.try_emplace({file_order(program, start.file), start.line},
                                             LineRow{start.file, start.line, 0, 0})
                               .first->second;
            row.count += count;
            row.samples += samples;
        }
    }
    for (const auto& [place, row] : lines)
        summary.lines.push_back(row);
    for (std::size_t c = 0; c < profile.calls.size(); ++c) {
        if (profile.calls[c] == 0)
            continue;
        const ChunkDebugInfo& info = machine.debug.chunks[c];
        summary.functions.push_back(FunctionRow{program.chunks[c].name, info.file, info.line, profile.calls[c],
                                                profile.self_samples[c], profile.total_samples[c]});
    }
    for (const auto& [chunks, samples] : profile.stacks) {
        std::string names;
        for (std::uint32_t c : chunks) {
            if (!names.empty())
                names += ';';
            names += program.chunks[c].name;
        }
        summary.stacks.emplace_back(std::move(names), samples);
        summary.samples += samples;
    }
    std::sort(summary.stacks.begin(), summary.stacks.end());
    return summary;
}

std::string format_table(const Summary& summary, const Program& program) {
    std::uint64_t starts = 0;
    for (const LineRow& row : summary.lines)
        starts += row.count;
    std::string text = "oxel-prof: " + std::to_string(starts) + " statements run, " +
                       fixed(milliseconds(summary.samples), 0) + " ms sampled\n";

    std::vector<LineRow> lines = summary.lines;
    std::stable_sort(lines.begin(), lines.end(), [](const LineRow& x, const LineRow& y) {
        return x.samples != y.samples ? x.samples > y.samples : x.count > y.count;
    });
    text += "\nHottest lines\n" + padded("count", 14) + padded("self ms", 10) + padded("self", 8) + "  line\n";
    for (std::size_t i = 0; i < lines.size() && i < table_rows; ++i) {
        const LineRow& row = lines[i];
        std::string code(code_of(program, row.file, row.line).substr(0, code_width));
        text += padded(std::to_string(row.count), 14) + padded(fixed(milliseconds(row.samples), 1), 10) +
                padded(percent(row.samples, summary.samples), 8) + "  " +
                padded(std::string(row.file) + ":" + std::to_string(row.line), 24, true) + "  " + code + "\n";
    }

    std::vector<FunctionRow> functions = summary.functions;
    std::stable_sort(functions.begin(), functions.end(), [](const FunctionRow& x, const FunctionRow& y) {
        return x.self_samples != y.self_samples ? x.self_samples > y.self_samples : x.calls > y.calls;
    });
    text += "\nHottest functions\n" + padded("calls", 14) + padded("self ms", 10) + padded("total ms", 10) +
            padded("self", 8) + "  function\n";
    for (std::size_t i = 0; i < functions.size() && i < table_rows; ++i) {
        const FunctionRow& row = functions[i];
        std::string place = std::string(row.file);
        if (row.line != 0)
            place += ":" + std::to_string(row.line);
        text += padded(std::to_string(row.calls), 14) + padded(fixed(milliseconds(row.self_samples), 1), 10) +
                padded(fixed(milliseconds(row.total_samples), 1), 10) +
                padded(percent(row.self_samples, summary.samples), 8) + "  " + std::string(row.name) + " (" +
                place + ")\n";
    }
    return text;
}

std::string format_json(const Summary& summary) {
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const LineRow& row : summary.lines)
        lines.push_back({{"file", row.file},
                         {"line", row.line},
                         {"count", row.count},
                         {"self_ms", milliseconds(row.samples)}});
    nlohmann::ordered_json functions = nlohmann::ordered_json::array();
    for (const FunctionRow& row : summary.functions)
        functions.push_back({{"name", row.name},
                             {"file", row.file},
                             {"line", row.line},
                             {"calls", row.calls},
                             {"self_ms", milliseconds(row.self_samples)},
                             {"total_ms", milliseconds(row.total_samples)}});
    nlohmann::ordered_json document = {{"lines", std::move(lines)}, {"functions", std::move(functions)}};
    // Bytes that are not UTF-8 (a path) are replaced rather than refused.
    return document.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string format_folded(const Summary& summary) {
    std::string text;
    for (const auto& [stack, samples] : summary.stacks)
        text += stack + " " + std::to_string(samples) + "\n";
    return text;
}

}  // namespace oxel::prof
