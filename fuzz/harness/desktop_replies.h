#pragma once

// The private desktop functions answering from a script, and SkyLight reading their replies. The
// fuzz target and the replay of its seeds both run inputs through runDesktopReplies.
//
// An input is a JSON object (anything else is ignored):
//   "connection":           SLSMainConnectionID's answer (default 1)
//   "missing":              names of functions the framework lacks
//   "managedDisplaySpaces": SLSCopyManagedDisplaySpaces' reply; absent or null: it returns nothing
//   "spacesForWindows":     by window number, SLSCopySpacesForWindows' reply for that window; each
//                           window named here is asked about, and every other window gets nothing
// Replies are property-list values written as property_json.h reads them.

#include "harness/property_json.h"
#include "platform/desktop_functions.h"
#include "platform/workspace.h"
#include "system/skylight.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qw::fuzzing {

class ScriptedDesktopFunctions final : public platform::DesktopFunctions {
public:
    explicit ScriptedDesktopFunctions(const nlohmann::json& script) {
        if (const auto it = script.find("connection"); it != script.end() && it->is_number_integer())
            connection_ = static_cast<std::int32_t>(it->get<std::int64_t>());
        if (const auto it = script.find("missing"); it != script.end() && it->is_array())
            for (const auto& name : *it)
                if (name.is_string()) missing_.insert(name.get<std::string>());
        if (const auto it = script.find("managedDisplaySpaces"); it != script.end())
            displaySpaces_ = propertyFromJson(*it);
        if (const auto it = script.find("spacesForWindows"); it != script.end() && it->is_object())
            for (const auto& [key, reply] : it->items())
                if (const auto window = windowNumber(key)) windowSpaces_[*window] = propertyFromJson(reply);
    }

    // The windows the script answers about, in increasing order.
    std::vector<WindowID> scriptedWindows() const {
        std::vector<WindowID> windows;
        for (const auto& [window, reply] : windowSpaces_) windows.push_back(window);
        return windows;
    }
    // The first way the caller broke the functions' contract, if it did.
    const std::optional<std::string>& misuse() const { return misuse_; }

    bool loadFramework(const std::string& path) override { return path == SkyLight::frameworkPath; }
    bool hasSymbol(std::string_view name) override { return !missing_.contains(name); }

    std::int32_t mainConnectionID() override {
        called("SLSMainConnectionID");
        return connection_;
    }

    std::optional<PropertyValue> copyManagedDisplaySpaces(std::int32_t connection) override {
        called("SLSCopyManagedDisplaySpaces");
        checkConnection(connection);
        return displaySpaces_;
    }

    std::optional<PropertyValue> copySpacesForWindows(std::int32_t connection, std::int32_t selector,
                                                      const PropertyValue& windowNumbers) override {
        called("SLSCopySpacesForWindows");
        checkConnection(connection);
        if (selector != SkyLight::allSpacesSelector) note("SLSCopySpacesForWindows asked with selector " + std::to_string(selector));
        const auto* numbers = windowNumbers.asArray();
        if (!numbers || numbers->size() != 1 || !(*numbers)[0].isInteger()) {
            note("SLSCopySpacesForWindows asked about something other than one window number");
            return std::nullopt;
        }
        const auto it = windowSpaces_.find(*(*numbers)[0].asUInt32());
        return it == windowSpaces_.end() ? std::nullopt : it->second;
    }

private:
    static std::optional<WindowID> windowNumber(const std::string& key) {
        WindowID window = 0;
        const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), window);
        if (error != std::errc{} || end != key.data() + key.size()) return std::nullopt;
        return window;
    }

    void note(std::string problem) {
        if (!misuse_) misuse_ = std::move(problem);
    }
    void called(std::string_view name) {
        if (missing_.contains(name)) note(std::string(name) + " called although the framework lacks it");
    }
    void checkConnection(std::int32_t connection) {
        const std::int32_t expected = missing_.contains("SLSMainConnectionID") ? 0 : connection_;
        if (connection != expected)
            note("connection " + std::to_string(connection) + " given instead of " + std::to_string(expected));
    }

    std::int32_t connection_ = 1;
    std::set<std::string, std::less<>> missing_;
    std::optional<PropertyValue> displaySpaces_;
    std::map<WindowID, std::optional<PropertyValue>> windowSpaces_;
    std::optional<std::string> misuse_;
};

// What SkyLight read from one input.
struct DesktopReplies {
    SkyLight::SpacesByDisplay displays;
    std::map<WindowID, std::vector<SpaceID>> windowSpaces; // for each window the input answers about
};

struct DesktopRepliesRun {
    std::optional<DesktopReplies> replies; // none when the input is not a JSON object
    std::optional<std::string> fault;      // what went wrong, when something did
};

// What must hold of SkyLight's records whatever the replies were.
inline std::optional<std::string> desktopRecordsFault(const SkyLight::SpacesByDisplay& displays) {
    for (const auto& [identifier, display] : displays) {
        std::optional<int> lastNumber;
        for (std::size_t i = 0; i < display.spaces.size(); ++i) {
            const SpaceInfo& space = display.spaces[i];
            const std::string where = "display \"" + identifier + "\", space " + std::to_string(i) + ": ";
            if (space.index != static_cast<int>(i) + 1) return where + "index " + std::to_string(space.index);
            if (space.isFullscreen == space.number.has_value()) return where + "a desktop number goes with not being full screen";
            if (space.name.empty()) return where + "no name";
            if (space.number) {
                if (lastNumber && *space.number != *lastNumber + 1) return where + "desktop numbers skip";
                if (space.name != "Desktop " + std::to_string(*space.number)) return where + "named " + space.name;
                lastNumber = space.number;
            }
            if (space.nickname) return where + "a nickname, which SkyLight never reads";
        }
    }
    return std::nullopt;
}

inline DesktopRepliesRun runDesktopReplies(std::string_view input, platform::Workspace& workspace) {
    const auto script = parseJson(input);
    if (!script || !script->is_object()) return {};

    ScriptedDesktopFunctions functions(*script);
    const SkyLight skyLight(functions, workspace);
    DesktopRepliesRun run;
    run.replies.emplace();
    run.replies->displays = skyLight.spacesByDisplay();
    for (const WindowID window : functions.scriptedWindows())
        run.replies->windowSpaces[window] = skyLight.spacesForWindow(window);

    if (functions.misuse())
        run.fault = *functions.misuse();
    else
        run.fault = desktopRecordsFault(run.replies->displays);
    return run;
}

} // namespace qw::fuzzing
