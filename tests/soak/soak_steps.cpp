#include "soak/soak_steps.h"

#include "platform/sim/world_checks.h"

#include <cstdio>

namespace qw::soak {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string rect(const Rect& r) {
    return "[[" + number(r.x()) + ", " + number(r.y()) + "], [" + number(r.width()) + ", " + number(r.height()) + "]]";
}

std::string ids(const std::vector<WindowID>& windows) {
    std::string text;
    for (const WindowID id : windows) text += (text.empty() ? "" : ", ") + std::to_string(id);
    return "[" + text + "]";
}

std::string axis(TileAxis a) { return a == TileAxis::columns ? "columns" : "rows"; }

std::string describeEvent(const sim::Event& event) {
    namespace E = sim::events;
    const std::string name = sim::eventName(event);
    return std::visit(
        [&](const auto& e) -> std::string {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, E::ConnectDisplay>)
                return name + " " + std::to_string(e.display.id) + " at " + rect(e.display.frame);
            else if constexpr (std::is_same_v<T, E::DisconnectDisplay>) return name + " " + std::to_string(e.id);
            else if constexpr (std::is_same_v<T, E::MoveDisplay>)
                return name + " " + std::to_string(e.id) + " to " + rect(e.frame);
            else if constexpr (std::is_same_v<T, E::LaunchApp>) return name + " " + e.path;
            else if constexpr (std::is_same_v<T, E::FinishLaunch> || std::is_same_v<T, E::QuitApp>)
                return name + " pid " + std::to_string(e.pid);
            else if constexpr (std::is_same_v<T, E::MoveWindow>)
                return name + " " + std::to_string(e.id) + " to " + rect(e.frame);
            else if constexpr (std::is_same_v<T, E::CloseWindow>) return name + " " + std::to_string(e.id);
            else if constexpr (std::is_same_v<T, E::ShowDesktop>)
                return name + " " + std::to_string(e.space) + " on display " + std::to_string(e.display);
            else return name;
        },
        event);
}

std::string describeAction(const UserAction& action) {
    namespace A = actions;
    return std::visit(
        [](const auto& a) -> std::string {
            using T = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<T, A::Place>)
                return "user places " + std::to_string(a.window) + " at " + rect(a.frame) + " in " +
                       std::to_string(a.drags) + " drags";
            else if constexpr (std::is_same_v<T, A::Tile>)
                return "user tiles " + ids(a.windows) + " in " + axis(a.axis) + " on display " + std::to_string(a.display);
            else if constexpr (std::is_same_v<T, A::TileSelection>)
                return "user tiles the selection " + ids(a.windows) + " in " + axis(a.axis);
            else if constexpr (std::is_same_v<T, A::MoveDivider>)
                return "user drags divider " + std::to_string(a.after) + " of tile group " + std::to_string(a.group) +
                       " to " + number(a.fraction);
            else if constexpr (std::is_same_v<T, A::Detach>) return "user untiles " + std::to_string(a.window);
            else if constexpr (std::is_same_v<T, A::Remove>) return "user removes " + std::to_string(a.window);
            else if constexpr (std::is_same_v<T, A::UndoEdit>) return "user undoes an edit";
            else if constexpr (std::is_same_v<T, A::Apply>) return "user applies";
            else if constexpr (std::is_same_v<T, A::UndoApply>) return "user undoes the apply";
            else if constexpr (std::is_same_v<T, A::Save>)
                return std::string("user saves the ") + (a.fromCanvas ? "canvas" : "screen") +
                       (a.autoRestore ? " for automatic restore" : "") + " (layout " + std::to_string(a.layout) + ")";
            else if constexpr (std::is_same_v<T, A::Restore>)
                return "user restores layout " + std::to_string(a.layout) + (a.openApps ? " opening apps" : "") +
                       (a.hideOthers ? " hiding others" : "");
            else if constexpr (std::is_same_v<T, A::Stage>) return "user previews layout " + std::to_string(a.layout);
            else if constexpr (std::is_same_v<T, A::ToggleAutoRestore>)
                return "user toggles automatic restore of layout " + std::to_string(a.layout);
            else if constexpr (std::is_same_v<T, A::DeleteLayout>) return "user deletes layout " + std::to_string(a.layout);
            else if constexpr (std::is_same_v<T, A::NewLayout>) return "user starts a layout from the current windows";
            else if constexpr (std::is_same_v<T, A::Revert>) return "user cancels the canvas";
            else if constexpr (std::is_same_v<T, A::SendToDesktop>)
                return "user sends " + std::to_string(a.window) + " to space " + std::to_string(a.space);
            else if constexpr (std::is_same_v<T, A::SendToNewDesktop>)
                return "user sends " + std::to_string(a.window) + " to a new desktop";
            else return "user closes " + std::to_string(a.window);
        },
        action);
}

} // namespace

std::string describe(const Step& step) {
    const std::string what = std::holds_alternative<sim::Event>(step.what)
                                 ? describeEvent(std::get<sim::Event>(step.what))
                                 : describeAction(std::get<UserAction>(step.what));
    return what + ", then " + number(step.seconds) + " s";
}

} // namespace qw::soak
