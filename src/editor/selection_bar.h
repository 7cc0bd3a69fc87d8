#pragma once

#include "editor/window_actions.h"
#include "model/display_info.h"
#include "model/space_info.h"
#include "model/window_info.h"

#include <optional>
#include <string>
#include <vector>

namespace qw {

// What the selection bar shows while something is selected, in order, and what each button does:
// the texts and conditions of the bar, which a view lays out in one row (buttons bordered and small,
// a spacer before the final Deselect button).
struct SelectionBarItem {
    enum class Kind {
        title,     // semibold text
        button,
        separator, // a short vertical divider
        note,      // secondary text on one line
        lockNote,  // secondary text with a lock image
    };
    enum class Action {
        none, openNow, bringToFront, remove, close, undoMove, untile, moveToDesktop, moveToNewDesktop, sideBySide,
        stacked, removeSelection, deselect,
    };

    Kind kind = Kind::button;
    std::string text;
    std::optional<std::string> systemImage;
    std::optional<std::string> help;
    Action action = Action::none;
    std::optional<WindowInfo> window;  // what the action is for
    std::optional<SpaceInfo> desktop;  // moveToDesktop's target
    std::optional<DisplayInfo> display; // the display of a desktop move

    bool operator==(const SelectionBarItem&) const = default;
};

// The bar for the selected windows (WindowActions::selection); nothing but Deselect for none.
std::vector<SelectionBarItem> selectionBar(const WindowActions& actions, const std::vector<WindowInfo>& windows);

// Carries out a button's action.
void perform(WindowActions& actions, const SelectionBarItem& item);

} // namespace qw
