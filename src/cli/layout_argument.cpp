#include "cli/layout_argument.h"

#include "cli/text.h"

#include <vector>

namespace qw::cli {

Result<SavedLayout> findLayout(const LayoutStore& store, const std::string& argument) {
    std::vector<const SavedLayout*> named;
    for (const auto& layout : store.layouts())
        if (layout.name == argument) named.push_back(&layout);
    if (named.size() == 1) return *named.front();
    if (named.size() > 1) {
        std::string ids;
        for (const auto* layout : named) ids += (ids.empty() ? "" : ", ") + layout->id.string();
        return Failure{std::to_string(named.size()) + " layouts are named " + quote(argument) +
                       "; name one by its id: " + ids};
    }
    if (const auto id = Uuid::parse(argument)) {
        if (auto layout = store.layout(*id)) return *std::move(layout);
    }
    return Failure{"no layout is named " + quote(argument) + " or has that id"};
}

} // namespace qw::cli
