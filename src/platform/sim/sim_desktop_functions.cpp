#include "platform/sim/sim_desktop_functions.h"

#include <algorithm>

namespace qw::sim {

using platform::PropertyValue;

namespace {

constexpr const char* exported[] = {"SLSMainConnectionID", "SLSCopyManagedDisplaySpaces", "SLSCopySpacesForWindows"};

PropertyValue spaceEntry(const Space& s) {
    PropertyValue::Dictionary entry{
        {"id64", s.id}, {"ManagedSpaceID", s.id}, {"uuid", s.uuid}, {"type", s.fullscreen ? 4 : 0}};
    if (s.pid) entry.emplace("pid", *s.pid);
    return entry;
}

PropertyValue displayEntry(const std::optional<std::string>& identifier, const Display& d) {
    PropertyValue::Array spaces;
    PropertyValue::Dictionary current{{"id64", d.currentSpace}, {"ManagedSpaceID", d.currentSpace}};
    for (const Space& s : d.spaces) {
        spaces.push_back(spaceEntry(s));
        if (s.id == d.currentSpace) current = *spaceEntry(s).asDictionary();
    }
    PropertyValue::Dictionary entry{{"Current Space", std::move(current)}, {"Spaces", std::move(spaces)}};
    // A display the system gives no UUID has no identifier either.
    if (identifier) entry.emplace("Display Identifier", *identifier);
    return entry;
}

} // namespace

bool SimDesktopFunctions::loadFramework(const std::string& path) {
    if (path == frameworkPath && state_.world.desktopFunctions) loaded_ = true;
    return loaded_ && path == frameworkPath;
}

bool SimDesktopFunctions::hasSymbol(std::string_view name) {
    return available() && std::find(std::begin(exported), std::end(exported), name) != std::end(exported);
}

std::int32_t SimDesktopFunctions::mainConnectionID() { return available() ? connection : 0; }

std::optional<PropertyValue> SimDesktopFunctions::copyManagedDisplaySpaces(std::int32_t cid) {
    if (!available() || cid != connection) return std::nullopt;
    const World& world = state_.world;
    PropertyValue::Array displays;
    if (!world.separateSpaces) {
        if (const Display* main = mainDisplay(world)) displays.push_back(displayEntry("Main", *main));
    } else {
        for (const Display& d : world.displays) displays.push_back(displayEntry(d.uuid, d));
    }
    return PropertyValue(std::move(displays));
}

std::optional<PropertyValue> SimDesktopFunctions::copySpacesForWindows(std::int32_t cid, std::int32_t selector,
                                                                       const PropertyValue& windowNumbers) {
    if (!available() || cid != connection) return std::nullopt;
    const auto* numbers = windowNumbers.asArray();
    if (!numbers) return std::nullopt;
    const bool includeShown = selector & 1, includeOthers = selector & 2, includeUser = selector & 4;
    const std::vector<SpaceID> shown = shownSpaces(state_.world);

    PropertyValue::Array spaces;
    std::vector<SpaceID> listed;
    for (const PropertyValue& number : *numbers) {
        const auto id = number.asUInt32();
        const Window* window = id ? state_.window(*id) : nullptr;
        if (!window || !includeUser) continue;
        for (const SpaceID space : window->spaces) {
            const bool isShown = std::find(shown.begin(), shown.end(), space) != shown.end();
            if ((isShown && !includeShown) || (!isShown && !includeOthers)) continue;
            if (std::find(listed.begin(), listed.end(), space) != listed.end()) continue;
            listed.push_back(space);
            spaces.emplace_back(space);
        }
    }
    return PropertyValue(std::move(spaces));
}

} // namespace qw::sim
