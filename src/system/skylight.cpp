#include "system/skylight.h"

#include "platform/desktop_functions.h"
#include "platform/property_value.h"
#include "platform/workspace.h"

#include <optional>

namespace qw {

using platform::PropertyValue;

namespace {

// The window server marks a full-screen app's space with this type.
constexpr std::int64_t fullscreenSpaceType = 4;

// The members of a reply: a dictionary's member, and an array whose elements are all dictionaries.
// A value of any other shape reads as absent.
const PropertyValue::Array* arrayOfDictionaries(const PropertyValue* value) {
    const auto* array = value ? value->asArray() : nullptr;
    if (!array) return nullptr;
    for (const auto& element : *array)
        if (!element.isDictionary()) return nullptr;
    return array;
}

std::optional<std::uint64_t> unsignedMember(const PropertyValue& dictionary, std::string_view key) {
    const auto* member = dictionary.member(key);
    return member ? member->asUInt64() : std::nullopt;
}

} // namespace

SkyLight::SkyLight(platform::DesktopFunctions& functions, platform::Workspace& workspace)
    : functions_(functions), workspace_(workspace) {}

bool SkyLight::resolve(const Symbol& symbol) const {
    std::call_once(frameworkOnce_, [&] { frameworkLoaded_ = functions_.loadFramework(frameworkPath); });
    std::call_once(symbol.once, [&] { symbol.present = frameworkLoaded_ && functions_.hasSymbol(symbol.name); });
    return symbol.present;
}

std::int32_t SkyLight::connection() const {
    // Without the connection function the window server accepts 0 as "this process".
    return resolve(mainConnectionID_) ? functions_.mainConnectionID() : 0;
}

SkyLight::SpacesByDisplay SkyLight::spacesByDisplay() const {
    if (!resolve(copyManagedDisplaySpaces_)) return {};
    const auto reply = functions_.copyManagedDisplaySpaces(connection());
    const auto* displays = reply ? arrayOfDictionaries(&*reply) : nullptr;
    if (!displays) return {};

    // Desktop numbers run on from one display to the next, as Mission Control numbers them.
    int ordinaryDesktops = 0;
    const auto readSpace = [&](const PropertyValue& dictionary, int position) {
        SpaceInfo space;
        const auto* type = dictionary.member("type");
        space.isFullscreen = type && type->isNumber() && type->asInt64() == fullscreenSpaceType;
        if (space.isFullscreen) {
            std::optional<std::string> appName;
            // A pid the reply gives as a real out of any integer's range names no app.
            const auto* pidMember = dictionary.member("pid");
            if (const auto pid = pidMember ? pidMember->asInt32() : std::nullopt)
                if (auto app = workspace_.runningApplication(*pid)) appName = std::move(app->localizedName);
            space.name = appName && !appName->empty() ? *appName : "Full-screen app";
        } else {
            space.number = ++ordinaryDesktops;
            space.name = "Desktop " + std::to_string(*space.number);
        }
        space.id = unsignedMember(dictionary, "id64").value_or(0);
        if (const auto* uuid = dictionary.member("uuid"); uuid && uuid->isString()) space.uuid = *uuid->asString();
        space.index = position + 1;
        return space;
    };

    SpacesByDisplay result;
    for (const auto& display : *displays) {
        const auto* identifier = display.member("Display Identifier");
        if (display.asDictionary()->empty() || !identifier || !identifier->isString()) continue;

        DisplaySpaces entry;
        if (const auto* current = display.member("Current Space"))
            entry.current = unsignedMember(*current, "id64").value_or(0);
        if (const auto* spaces = arrayOfDictionaries(display.member("Spaces"))) {
            int position = 0;
            for (const auto& space : *spaces) entry.spaces.push_back(readSpace(space, position++));
        }
        result.insert_or_assign(*identifier->asString(), std::move(entry));
    }
    return result;
}

std::vector<SpaceID> SkyLight::spacesForWindow(WindowID window) const {
    if (!resolve(copySpacesForWindows_)) return {};
    const PropertyValue windowNumbers(PropertyValue::Array{PropertyValue(window)});
    const auto reply = functions_.copySpacesForWindows(connection(), allSpacesSelector, windowNumbers);
    const auto* spaces = reply ? reply->asArray() : nullptr;
    if (!spaces) return {};

    std::vector<SpaceID> ids;
    ids.reserve(spaces->size());
    for (const auto& space : *spaces)
        if (const auto id = space.asUInt64()) ids.push_back(*id);
    return ids;
}

} // namespace qw
