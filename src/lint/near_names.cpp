// Edit distance with swaps of neighbours (optimal string alignment).
#include "lint/near_names.h"

#include <algorithm>
#include <vector>

namespace oxel::lint {

std::size_t edit_distance(std::string_view a, std::string_view b) {
    // rows i-2, i-1 and i of the table over prefixes of a and b
    std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t changed = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({previous[j] + 1, row[j - 1] + 1, changed});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(row);
    }
    return previous[b.size()];
}

bool is_near(std::string_view name, std::string_view known) {
    // one edit in a name of one or two bytes makes another name, not a slip
    if (name == known || std::max(name.size(), known.size()) < 3)
        return false;
    std::size_t allowed = std::min(name.size(), known.size()) >= 6 ? 2 : 1;
    return edit_distance(name, known) <= allowed;
}

std::string nearest_name(std::string_view name, std::span<const std::string> known) {
    std::string best;
    std::size_t best_distance = 0;
    for (const std::string& candidate : known) {
        if (!is_near(name, candidate))
            continue;
        std::size_t distance = edit_distance(name, candidate);
        if (best.empty() || distance < best_distance) {
            best = candidate;
            best_distance = distance;
        }
    }
    return best;
}

}  // namespace oxel::lint
