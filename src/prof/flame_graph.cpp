// The flame graph: one box per function in each sampled stack, the top
// level at the bottom, each box as wide as its share of the samples and its
// callees stacked on it. Hovering names a box with its samples and share;
// clicking one widens it to the whole width (its callers stay, full width,
// beneath it); clicking the background or "Reset zoom" goes back.
#include <algorithm>
#include <map>
#include <memory>

#include "prof/summary.h"

namespace oxel::prof {

namespace {

struct Node {
    std::uint64_t samples = 0;
    std::map<std::string, std::unique_ptr<Node>> children;
};

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                // Control bytes are not allowed in XML 1.0 text.
                out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    return out;
}

constexpr int graph_width = 1200, box_height = 17, margin = 10, header = 40, footer = 24;

int depth_of(const Node& node) {
    int deepest = 0;
    for (const auto& [name, child] : node.children)
        deepest = std::max(deepest, depth_of(*child) + 1);
    return deepest;
}

// The boxes as <g> elements: x and width as fractions of the whole, in
// data attributes the script scales; the first paint is the unzoomed one.
void write_boxes(const Node& node, std::string_view name, double x, int depth, int base, std::uint64_t whole,
                 std::string& out) {
    const double width = static_cast<double>(node.samples) / static_cast<double>(whole);
    const int y = base - (depth + 1) * box_height;
    const std::string share = std::to_string(node.samples) + " samples, " + percent(node.samples, whole);
    const double px = x * graph_width, pw = width * graph_width;
    // A colour from the name, so a function keeps its colour everywhere.
    unsigned hash = 2166136261u;
    for (char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    const int red = 205 + static_cast<int>(hash % 50), green = 80 + static_cast<int>((hash >> 8) % 130);
    out += "<g class=\"f\" data-x=\"" + fixed(x, 9) + "\" data-w=\"" + fixed(width, 9) +
           "\" data-d=\"" + std::to_string(depth) + "\" data-n=\"" + escaped(name) + "\" data-s=\"" +
           escaped(share) + "\"><title>" + escaped(name) + " (" + escaped(share) + ")</title><rect x=\"" +
           fixed(px + margin, 2) + "\" y=\"" + std::to_string(y) + "\" width=\"" + fixed(pw, 2) +
           "\" height=\"" + std::to_string(box_height - 1) + "\" rx=\"2\" fill=\"rgb(" + std::to_string(red) + "," +
           std::to_string(green) + ",60)\"/><text x=\"" + fixed(px + margin + 3, 2) + "\" y=\"" +
           std::to_string(y + box_height - 5) + "\">" + escaped(name) + "</text></g>\n";
    double child_x = x;
    for (const auto& [child_name, child] : node.children) {
        write_boxes(*child, child_name, child_x, depth + 1, base, whole, out);
        child_x += static_cast<double>(child->samples) / static_cast<double>(whole);
    }
}

// Scales every box to the zoomed one's span, hides those outside it, fits
// each label to its box or hides it.
constexpr std::string_view script = R"(
var boxes = Array.prototype.slice.call(document.querySelectorAll('g.f'));
var details = document.getElementById('details');
function fit(g, x, w) {
  var r = g.querySelector('rect'), t = g.querySelector('text');
  r.setAttribute('x', M + x * W); r.setAttribute('width', Math.max(0, w * W));
  t.setAttribute('x', M + x * W + 3);
  var name = g.getAttribute('data-n'), room = Math.floor((w * W - 6) / 7);
  t.textContent = room >= name.length ? name : (room > 2 ? name.slice(0, room - 2) + '..' : '');
}
function zoom(target) {
  var zx = target ? +target.getAttribute('data-x') : 0, zw = target ? +target.getAttribute('data-w') : 1;
  var zd = target ? +target.getAttribute('data-d') : 0;
  boxes.forEach(function (g) {
    var x = +g.getAttribute('data-x'), w = +g.getAttribute('data-w'), d = +g.getAttribute('data-d');
    var inside = x >= zx - 1e-6 && x + w <= zx + zw + 1e-6;
    var beneath = d < zd && x <= zx + 1e-6 && x + w >= zx + zw - 1e-6;
    if (beneath) { g.style.display = ''; fit(g, 0, 1); }
    else if (inside) { g.style.display = ''; fit(g, (x - zx) / zw, w / zw); }
    else g.style.display = 'none';
  });
}
boxes.forEach(function (g) {
  g.addEventListener('click', function (e) { e.stopPropagation(); zoom(g); });
  g.addEventListener('mouseover', function () {
    details.textContent = g.getAttribute('data-n') + ': ' + g.getAttribute('data-s');
  });
  g.addEventListener('mouseout', function () { details.textContent = ' '; });
});
document.getElementById('background').addEventListener('click', function () { zoom(null); });
document.getElementById('reset').addEventListener('click', function () { zoom(null); });
zoom(null);
)";

}  // namespace

std::string format_flame_graph(const Summary& summary, std::string_view title) {
    Node root;
    for (const auto& [stack, samples] : summary.stacks) {
        Node* node = &root;
        node->samples += samples;
        std::size_t from = 0;
        for (;;) {
            const std::size_t semicolon = stack.find(';', from);
            auto& child = node->children[stack.substr(from, semicolon - from)];
            if (!child)
                child = std::make_unique<Node>();
            node = child.get();
            node->samples += samples;
            if (semicolon == std::string::npos)
                break;
            from = semicolon + 1;
        }
    }
    const int depth = std::max(depth_of(root), 1);
    const int height = header + depth * box_height + footer;
    const int base = header + depth * box_height;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           std::to_string(graph_width + 2 * margin) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
           std::to_string(graph_width + 2 * margin) + " " + std::to_string(height) + "\">\n";
    out += "<style>text { font-family: monospace; font-size: 12px; fill: #000; } "
           "g.f { cursor: pointer; } g.f:hover rect { stroke: #000; stroke-width: 0.5; } "
           "#title { font-size: 16px; } #reset { cursor: pointer; fill: #036; }</style>\n";
    out += "<rect id=\"background\" x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"#fdf8ee\"/>\n";
    out += "<text id=\"title\" x=\"" + std::to_string(margin) + "\" y=\"22\">" + escaped(title) + " (" +
           std::to_string(summary.samples) + " samples)</text>\n";
    out += "<text id=\"reset\" x=\"" + std::to_string(graph_width + margin - 90) + "\" y=\"22\">Reset zoom</text>\n";
    if (root.samples == 0) {
        out += "<text x=\"" + std::to_string(margin) + "\" y=\"" + std::to_string(base - 4) +
               "\">No samples: the run was shorter than one sampling interval.</text>\n";
    } else {
        double x = 0;
        for (const auto& [name, child] : root.children) {
            write_boxes(*child, name, x, 0, base, root.samples, out);
            x += static_cast<double>(child->samples) / static_cast<double>(root.samples);
        }
    }
    out += "<text id=\"details\" x=\"" + std::to_string(margin) + "\" y=\"" + std::to_string(height - 8) + "\"> </text>\n";
    out += "<script type=\"text/ecmascript\"><![CDATA[\nvar W = " + std::to_string(graph_width) +
           ", M = " + std::to_string(margin) + ";" + std::string(script) + "]]></script>\n</svg>\n";
    return out;
}

}  // namespace oxel::prof
