#pragma once

#include "cli/system.h"
#include "editor/editor_system.h"
#include "editor/layout_editor.h"
#include "editor/window_actions.h"
#include "restore/auto_restorer.h"
#include "store/layout_store.h"

#include <filesystem>

namespace qw::soak {

// The app without its windows, wired as the `run` command wires it: the simulated Mac and its live
// picture, the editor, the store loaded from its file, and the automatic restorer listening to the
// system. The window actions are what the editor window's selection bar would offer.
class HeadlessApp {
public:
    HeadlessApp(sim::World world, const std::filesystem::path& layoutsFile)
        : system(std::move(world)), store(layoutsFile), editorSystem(system.editorSystem()),
          restorer(editorSystem, store, editor, true), actions(editor, editorSystem, shownSpaces) {}

    cli::System system;
    LayoutEditor editor;
    LayoutStore store;
    EditorSystem editorSystem;
    AutoRestorer restorer;
    ShownSpaces shownSpaces;
    WindowActions actions;
};

} // namespace qw::soak
