#include "platform/sim/sim_mission_control.h"

#include "platform/input.h"
#include "platform/sim/sim_input.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace qw::sim {

namespace {

namespace N = platform::AXNames;

constexpr double addButtonSize = 44;
constexpr double thumbnailWidth = 180;

// The window manager starts early: it takes the lowest free process id from here on.
constexpr ProcessID firstSystemPID = 88;

ProcessID freePID(const World& world) {
    ProcessID pid = firstSystemPID;
    const auto taken = [&](ProcessID p) {
        return p == world.processID ||
               std::any_of(world.apps.begin(), world.apps.end(), [&](const App& a) { return a.pid == p; });
    };
    while (taken(pid)) ++pid;
    return pid;
}

std::uint32_t packed(std::size_t display, std::size_t space) {
    return static_cast<std::uint32_t>((display << 16) | space);
}

std::string uuidFor(SpaceID id) {
    char text[64];
    std::snprintf(text, sizeof text, "5A11C0DE-0000-4000-8000-%012llX", static_cast<unsigned long long>(id));
    return text;
}

} // namespace

SimMissionControl::SimMissionControl(SimState& state, SimInput& input) : state_(state), pid_(freePID(state.world)) {
    input.observeKeys([this](const platform::KeyEvent& key) {
        if (key.down && key.keyCode == platform::KeyCodes::escape) close();
    });
}

SimMissionControl::~SimMissionControl() {
    if (opening_) state_.loop.cancel(*opening_);
    for (const TimerId& t : changes_) state_.loop.cancel(t);
}

platform::RunningApplication SimMissionControl::process() const {
    platform::RunningApplication app;
    app.pid = pid_;
    app.bundleIdentifier = bundleIdentifier;
    app.localizedName = processName;
    app.bundlePath = processPath;
    app.activationPolicy = platform::ActivationPolicy::accessory;
    return app;
}

void SimMissionControl::open() {
    if (open_ || opening_) return;
    opening_ = state_.loop.after(openingTime, [this] {
        opening_.reset();
        open_ = true;
    });
}

void SimMissionControl::close() {
    if (opening_) state_.loop.cancel(*opening_);
    opening_.reset();
    open_ = false;
}

bool SimMissionControl::owns(const AXElement& element) const { return element.pid == pid_; }

AXElement SimMissionControl::element(Kind kind, std::size_t display, std::size_t space) const {
    return AXElement{pid_, nodes::make(kind, packed(display, space))};
}

std::optional<SimMissionControl::Node> SimMissionControl::nodeOf(const AXElement& element) const {
    if (!open_ || element.pid != pid_) return std::nullopt;
    const std::uint32_t kind = nodes::kindOf(element.node);
    if (kind < displayGroup || kind > desktop) return std::nullopt;
    const std::uint32_t number = nodes::numberOf(element.node);
    const Node node{static_cast<Kind>(kind), number >> 16, number & 0xFFFF};
    if (node.display >= state_.world.displays.size()) return std::nullopt;
    if (node.kind == desktop) {
        const auto* spaces = spacesShownFor(node.display);
        if (!spaces || node.space >= spaces->size()) return std::nullopt;
    }
    return node;
}

const std::vector<Space>* SimMissionControl::spacesShownFor(std::size_t display) const {
    const World& world = state_.world;
    if (display >= world.displays.size()) return nullptr;
    if (world.separateSpaces) return &world.displays[display].spaces;
    const Display* main = mainDisplay(world);
    return main ? &main->spaces : nullptr;
}

std::string SimMissionControl::title(std::size_t display, std::size_t space) const {
    const World& world = state_.world;
    const std::vector<Space>& spaces = *spacesShownFor(display);
    const Space& s = spaces[space];
    if (s.fullscreen) {
        const App* app = s.pid ? runningApp(world, *s.pid) : nullptr;
        return app ? app->name : "Full-screen app";
    }
    // Desktops are numbered across the displays in the window server's order.
    int number = 0;
    if (world.separateSpaces)
        for (std::size_t d = 0; d < display; ++d)
            for (const Space& other : world.displays[d].spaces) number += other.fullscreen ? 0 : 1;
    for (std::size_t i = 0; i <= space; ++i) number += spaces[i].fullscreen ? 0 : 1;
    return "Desktop " + std::to_string(number);
}

Rect SimMissionControl::barFrame(const Display& display) const {
    return Rect(display.frame.minX(), display.frame.minY(), display.frame.width(),
                std::min(barHeight, display.frame.height()));
}

AXResult<AXAttributeValue> SimMissionControl::copyAttributeValue(const AXElement& el, std::string_view attribute) {
    if (el.isApplication() && el.pid == pid_) {
        if (attribute == N::role) return AXAttributeValue{std::string(N::applicationRole)};
        if (attribute == N::title) return AXAttributeValue{std::string("Dock")};
        if (attribute == N::children) {
            std::vector<AXElement> groups;
            if (open_)
                for (std::size_t d = 0; d < state_.world.displays.size(); ++d) groups.push_back(element(displayGroup, d));
            return AXAttributeValue{std::move(groups)};
        }
        return AXError::attributeUnsupported;
    }
    const auto node = nodeOf(el);
    if (!node) return AXError::invalidUIElement;
    const Display& display = state_.world.displays[node->display];
    const Rect bar = barFrame(display);
    Rect frame;
    std::string role, identifier;
    std::vector<AXElement> children;
    AXElement parent{pid_, AXElement::applicationNode};
    switch (node->kind) {
    case displayGroup:
        frame = display.frame;
        role = N::groupRole;
        identifier = "mc.display";
        children = {element(this->bar, node->display)};
        break;
    case Kind::bar:
        frame = bar;
        role = N::groupRole;
        identifier = "mc.spaces";
        children = {element(addButton, node->display), element(list, node->display)};
        parent = element(displayGroup, node->display);
        break;
    case addButton:
        frame = Rect(bar.maxX() - addButtonSize - 8, bar.minY() + 8, addButtonSize, addButtonSize);
        role = N::buttonRole;
        identifier = "mc.spaces.add";
        parent = element(Kind::bar, node->display);
        break;
    case list:
        frame = bar.insetBy(60, 8);
        role = N::listRole;
        if (const auto* spaces = spacesShownFor(node->display))
            for (std::size_t s = 0; s < spaces->size(); ++s) children.push_back(element(desktop, node->display, s));
        parent = element(Kind::bar, node->display);
        break;
    case desktop:
        frame = Rect(bar.minX() + 60 + static_cast<double>(node->space) * (thumbnailWidth + 12), bar.minY() + 16,
                     thumbnailWidth, bar.height() - 32);
        role = N::buttonRole;
        parent = element(list, node->display);
        break;
    }
    if (attribute == N::role) return AXAttributeValue{role};
    if (attribute == N::identifier) {
        if (identifier.empty()) return AXError::noValue;
        return AXAttributeValue{identifier};
    }
    if (attribute == N::title) {
        if (node->kind != desktop) return AXError::noValue;
        return AXAttributeValue{title(node->display, node->space)};
    }
    if (attribute == N::position) return AXAttributeValue{frame.origin};
    if (attribute == N::size) return AXAttributeValue{frame.size};
    if (attribute == N::children) return AXAttributeValue{std::move(children)};
    if (attribute == N::parent) return AXAttributeValue{parent};
    return AXError::attributeUnsupported;
}

AXError SimMissionControl::setAttributeValue(const AXElement& el, std::string_view, const AXAttributeValue&) {
    return nodeOf(el) || el.isApplication() ? AXError::attributeUnsupported : AXError::invalidUIElement;
}

AXResult<bool> SimMissionControl::isAttributeSettable(const AXElement& el, std::string_view) {
    if (!nodeOf(el) && !el.isApplication()) return AXError::invalidUIElement;
    return false;
}

AXResult<std::vector<std::string>> SimMissionControl::copyActionNames(const AXElement& el) {
    if (el.isApplication()) return std::vector<std::string>{};
    const auto node = nodeOf(el);
    if (!node) return AXError::invalidUIElement;
    if (node->kind == addButton) return std::vector<std::string>{N::press};
    if (node->kind == desktop) {
        if ((*spacesShownFor(node->display))[node->space].fullscreen) return std::vector<std::string>{N::press};
        return std::vector<std::string>{N::press, N::removeDesktop};
    }
    return std::vector<std::string>{};
}

AXError SimMissionControl::performAction(const AXElement& el, std::string_view action) {
    const auto node = nodeOf(el);
    if (!node) return el.isApplication() ? AXError::actionUnsupported : AXError::invalidUIElement;
    const Display& display = state_.world.displays[node->display];
    if (node->kind == addButton && action == N::press) {
        addDesktop(display.id);
        return AXError::success;
    }
    if (node->kind == desktop && action == N::removeDesktop) {
        const Space& space = (*spacesShownFor(node->display))[node->space];
        if (space.fullscreen) return AXError::actionUnsupported;
        removeDesktop(display.id, space.id);
        return AXError::success;
    }
    if (node->kind == desktop && action == N::press) return AXError::success;
    return AXError::actionUnsupported;
}

std::optional<AXElement> SimMissionControl::elementAt(Point position, std::optional<ProcessID> process) {
    if (!open_ || (process && *process != pid_)) return std::nullopt;
    // Mission Control covers every display while it shows.
    for (std::size_t d = 0; d < state_.world.displays.size(); ++d) {
        const Display& display = state_.world.displays[d];
        if (!display.frame.contains(position)) continue;
        return barFrame(display).contains(position) ? element(Kind::bar, d) : element(displayGroup, d);
    }
    return std::nullopt;
}

void SimMissionControl::schedule(Duration delay, std::function<void()> change) {
    // Each change removes its own timer once it has run.
    auto id = std::make_shared<std::optional<TimerId>>();
    *id = state_.loop.after(delay, [this, id, change = std::move(change)] {
        if (*id) std::erase(changes_, **id);
        change();
    });
    changes_.push_back(**id);
}

void SimMissionControl::addDesktop(DisplayID displayID) {
    schedule(changeTime, [this, displayID] {
        World& world = state_.world;
        Display* display = findDisplay(world, displayID);
        if (display && !world.separateSpaces) display = mainDisplay(world);
        if (!display) return;
        SpaceID highest = 0;
        for (const Display& d : world.displays)
            for (const Space& s : d.spaces) highest = std::max(highest, s.id);
        for (const Window& w : world.windows)
            for (const SpaceID s : w.spaces) highest = std::max(highest, s);
        const SpaceID id = highest + 1;
        display->spaces.push_back(Space{id, uuidFor(id), false, std::nullopt});
        if (display->currentSpace == 0) display->currentSpace = id;
    });
}

void SimMissionControl::removeDesktop(DisplayID displayID, SpaceID spaceID) {
    schedule(changeTime, [this, displayID, spaceID] {
        World& world = state_.world;
        Display* display = findDisplay(world, displayID);
        if (display && !world.separateSpaces) display = mainDisplay(world);
        if (!display) return;
        auto& spaces = display->spaces;
        const auto it = std::find_if(spaces.begin(), spaces.end(), [&](const Space& s) { return s.id == spaceID; });
        const auto ordinary = std::count_if(spaces.begin(), spaces.end(), [](const Space& s) { return !s.fullscreen; });
        if (it == spaces.end() || it->fullscreen || ordinary < 2) return;

        // Its windows go to the ordinary desktop before it, or after it when it is the first.
        SpaceID heir = 0;
        for (auto before = it; before != spaces.begin();)
            if (!(--before)->fullscreen) {
                heir = before->id;
                break;
            }
        if (heir == 0)
            for (auto after = it + 1; after != spaces.end(); ++after)
                if (!after->fullscreen) {
                    heir = after->id;
                    break;
                }
        spaces.erase(it);
        for (Window& w : world.windows) {
            const auto listed = std::find(w.spaces.begin(), w.spaces.end(), spaceID);
            if (listed == w.spaces.end()) continue;
            w.spaces.erase(listed);
            if (w.spaces.empty()) w.spaces.push_back(heir);
        }
        if (display->currentSpace == spaceID) {
            display->currentSpace = heir;
            state_.post(Posting{Centre::workspace, {platform::Notifications::activeSpaceDidChange, {}}});
        }
    });
}

} // namespace qw::sim
