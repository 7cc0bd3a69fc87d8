#pragma once

#include "platform/clock.h"
#include "platform/main_loop.h"
#include "platform/sim/element_tree.h"
#include "platform/sim/sim_state.h"
#include "platform/workspace.h"

#include <optional>
#include <string>
#include <vector>

namespace qw::sim {

class SimInput;

// Mission Control on the simulated Mac, drawn by the system's window-manager process
// ("com.apple.WindowManager"). Opening the Mission Control app shows it after a short animation;
// Escape closes it. While it shows, the process's Accessibility tree has one "mc.display" group per
// display, each with its desktop bar "mc.spaces" across the top of the display; the bar holds the
// add button "mc.spaces.add" and an "AXList" of the display's desktops titled as Mission Control
// shows them ("Desktop 3", a full-screen app's name). Pressing the add button adds a desktop to the
// display a moment later; "AXRemoveDesktop" on a desktop removes it a moment later, its windows
// going to the desktop before it (after it, for the first), as macOS does. A display keeps at least
// one desktop. While it is closed the process shows nothing and its elements are gone.
class SimMissionControl final : public ElementTree {
public:
    static constexpr const char* bundleIdentifier = "com.apple.WindowManager";
    static constexpr const char* processName = "WindowManager";
    static constexpr const char* processPath = "/System/Library/CoreServices/WindowManager.app";
    static constexpr const char* appPath = "/System/Applications/Mission Control.app";
    static constexpr const char* appBundleIdentifier = "com.apple.exposelauncher";

    static constexpr Duration openingTime = std::chrono::milliseconds(300);
    static constexpr Duration changeTime = std::chrono::milliseconds(450);
    static constexpr double barHeight = 140;

    SimMissionControl(SimState& state, SimInput& input);
    ~SimMissionControl() override;
    SimMissionControl(const SimMissionControl&) = delete;
    SimMissionControl& operator=(const SimMissionControl&) = delete;

    ProcessID pid() const { return pid_; }
    platform::RunningApplication process() const;
    bool isOpen() const { return open_; }
    // Shows Mission Control once its animation has played (nothing when it shows or is opening).
    void open();
    void close();

    bool owns(const AXElement& element) const override;
    AXResult<AXAttributeValue> copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                              const AXAttributeValue& value) override;
    AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) override;
    AXError performAction(const AXElement& element, std::string_view action) override;
    AXResult<std::vector<std::string>> copyActionNames(const AXElement& element) override;
    std::optional<AXElement> elementAt(Point position, std::optional<ProcessID> process) override;

private:
    enum Kind : std::uint32_t { displayGroup = nodes::firstFree, bar, addButton, list, desktop };
    struct Node {
        Kind kind;
        std::size_t display = 0; // position in the world's display list
        std::size_t space = 0;   // position in that display's desktops
    };
    std::optional<Node> nodeOf(const AXElement& element) const;
    AXElement element(Kind kind, std::size_t display, std::size_t space = 0) const;
    // The desktops a display's bar shows: its own, or the main display's when displays share them.
    const std::vector<Space>* spacesShownFor(std::size_t display) const;
    std::string title(std::size_t display, std::size_t space) const;
    Rect barFrame(const Display& display) const;

    void addDesktop(DisplayID display);
    void removeDesktop(DisplayID display, SpaceID space);
    void schedule(Duration delay, std::function<void()> change);

    SimState& state_;
    ProcessID pid_;
    bool open_ = false;
    std::optional<TimerId> opening_;
    std::vector<TimerId> changes_;
};

} // namespace qw::sim
