#include "editor/selection_bar.h"

#include "editor/layout_editor.h"
#include "system/inventory.h"

namespace qw {

namespace {

using Item = SelectionBarItem;
using Kind = SelectionBarItem::Kind;
using Action = SelectionBarItem::Action;

Item button(std::string text, std::string image, std::optional<std::string> help, Action action,
            std::optional<WindowInfo> window = std::nullopt) {
    return Item{Kind::button, std::move(text), std::move(image), std::move(help), action, std::move(window),
                std::nullopt, std::nullopt};
}

Item separator() { return Item{Kind::separator, "", std::nullopt, std::nullopt, Action::none, {}, {}, {}}; }

void oneWindow(const WindowActions& actions, const WindowInfo& w, std::vector<Item>& items) {
    const LayoutEditor& editor = actions.editor();
    const bool planned = editor.isPlanned(w.id);
    items.push_back(Item{Kind::title, w.appName, std::nullopt, w.appName + (w.title.empty() ? "" : ": " + w.title),
                         Action::none, {}, {}, {}});
    if (planned)
        items.push_back(button("Open Now", "arrow.up.forward.app", "Open " + w.appName + " now, into this spot",
                               Action::openNow, w));
    else
        items.push_back(button("Bring to Front", "square.stack.3d.up", std::nullopt, Action::bringToFront, w));
    items.push_back(button("Remove", "delete.left", "Take it off the canvas (⌫); the window stays open", Action::remove, w));
    if (!planned) {
        items.push_back(button("Close", "xmark.square", "Close this " + w.appName + " window (the app may ask to save first)",
                               Action::close, w));
        if (editor.pending().contains(w.id) && !editor.arranging())
            items.push_back(button("Undo Move", "arrow.uturn.backward", std::nullopt, Action::undoMove, w));
    }
    if (editor.tileGroup(w.id)) items.push_back(button("Untile", "rectangle", std::nullopt, Action::untile, w));

    if (const auto targets = actions.desktopTargets(w)) {
        const DisplayInfo& d = targets->display;
        items.push_back(separator());
        items.push_back(Item{Kind::note, "Move to", std::nullopt, std::nullopt, Action::none, {}, {}, {}});
        for (const SpaceInfo& space : targets->spaces) {
            const std::string label = desktopLabel(space);
            items.push_back(Item{Kind::button, label, std::nullopt, "Send " + w.appName + " to " + label + " on " + d.name,
                                 Action::moveToDesktop, w, space, d});
        }
        Item add = button("New Desktop", "plus", "Add a desktop to " + d.name + " and send " + w.appName + " there",
                          Action::moveToNewDesktop, w);
        add.display = d;
        items.push_back(std::move(add));
    } else if (planned || actions.inventory().isMovable(w)) {
        if (const auto note = actions.fetchNote(w)) {
            items.push_back(separator());
            items.push_back(Item{Kind::note, *note, std::nullopt, *note, Action::none, {}, {}, {}});
        }
    } else {
        items.push_back(separator());
        items.push_back(Item{Kind::lockNote, w.appName + " is full screen. Exit full screen to place it in a layout.",
                             "lock", std::nullopt, Action::none, {}, {}, {}});
    }
}

void severalWindows(const WindowActions& actions, const std::vector<WindowInfo>& windows, std::vector<Item>& items) {
    items.push_back(Item{Kind::title, std::to_string(windows.size()) + " windows", std::nullopt, std::nullopt,
                         Action::none, {}, {}, {}});
    items.push_back(button("Side by Side", "rectangle.split.3x1", std::nullopt, Action::sideBySide));
    items.push_back(button("Stacked", "rectangle.split.1x2", std::nullopt, Action::stacked));
    items.push_back(button("Remove", "delete.left", "Take them off the canvas (⌫); their windows stay open",
                           Action::removeSelection));
    for (const WindowInfo& w : windows) {
        const auto targets = actions.desktopTargets(w);
        if (!targets) continue;
        items.push_back(separator());
        Item add = button("New Desktop", "plus.rectangle.on.rectangle",
                          "Add a desktop to " + targets->display.name + " and send the selected windows on it there",
                          Action::moveToNewDesktop, w);
        add.display = targets->display;
        items.push_back(std::move(add));
        break;
    }
}

} // namespace

std::vector<SelectionBarItem> selectionBar(const WindowActions& actions, const std::vector<WindowInfo>& windows) {
    std::vector<Item> items;
    if (windows.size() == 1) oneWindow(actions, windows.front(), items);
    if (windows.size() >= 2) severalWindows(actions, windows, items);
    items.push_back(Item{Kind::button, "", "xmark", "Deselect", Action::deselect, {}, {}, {}});
    return items;
}

void perform(WindowActions& actions, const SelectionBarItem& item) {
    const auto& w = item.window;
    switch (item.action) {
    case Action::none: return;
    case Action::openNow: if (w) actions.openNow(*w); return;
    case Action::bringToFront: if (w) actions.bringToFront(*w); return;
    case Action::remove: if (w) actions.remove(*w); return;
    case Action::close: if (w) actions.close(*w); return;
    case Action::undoMove: if (w) actions.undoMove(*w); return;
    case Action::untile: if (w) actions.untile(*w); return;
    case Action::moveToDesktop:
        if (w && item.desktop && item.display) actions.moveToDesktop(*w, *item.desktop, *item.display);
        return;
    case Action::moveToNewDesktop:
        if (w && item.display) actions.moveToNewDesktop(*w, *item.display);
        return;
    case Action::sideBySide: actions.tileSelection(TileAxis::columns); return;
    case Action::stacked: actions.tileSelection(TileAxis::rows); return;
    case Action::removeSelection: actions.editor().removeSelection(actions.inventory()); return;
    case Action::deselect: actions.deselect(); return;
    }
}

} // namespace qw
