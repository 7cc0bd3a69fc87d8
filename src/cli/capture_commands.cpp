#include "cli/capture_commands.h"

#include "cli/layout_argument.h"
#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "store/capture.h"

#include <string>

namespace qw::cli {

namespace {

std::string contents(const SavedLayout& layout) {
    return count(layout.displays.size(), "display") + ", " + count(layout.windows.size(), "window");
}

int saveLayout(Session& session, const std::vector<std::string>& args) {
    std::optional<std::string> name;
    bool autoRestore = false;
    for (const auto& arg : args) {
        if (arg == "--auto" && !autoRestore)
            autoRestore = true;
        else if (!name && !(arg.size() > 1 && arg.starts_with("--")))
            name = arg;
        else
            return session.usageError("save", "unexpected argument " + quote(arg));
    }
    if (!name) return session.usageError("save", "expected NAME");
    if (name->empty()) return session.usageError("save", "NAME is empty");
    if (!isValidUtf8(*name)) return session.usageError("save", "NAME is not valid UTF-8");

    LayoutStore& store = session.store();
    System& system = session.system();
    const auto layout = Capture::saveCurrent(store, *name, system.inventory(), nullptr,
                                             Capture::bundlePaths(system.platform().workspace), autoRestore);
    if (store.hasUnsavedChanges()) return exitFailure; // the store's problem says why
    session.out() << "Saved " << quote(layout.name) << " (" << layout.id.string() << "): " << contents(layout)
                  << (autoRestore ? ", restored automatically on these monitors" : "") << ".\n";
    return exitSuccess;
}

int updateLayout(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 1) return session.usageError("update", "expected LAYOUT, got " + count(args.size(), "argument"));
    LayoutStore& store = session.store();
    const auto layout = findLayout(store, args[0]);
    if (!layout) return session.fail(layout.message());

    System& system = session.system();
    const auto updated = Capture::updateToCurrent(store, layout->id, system.inventory(), nullptr,
                                                  Capture::bundlePaths(system.platform().workspace));
    if (!updated || store.hasUnsavedChanges()) return exitFailure;
    session.out() << "Updated " << quote(updated->name) << ": " << contents(*updated) << ".\n";
    return exitSuccess;
}

} // namespace

std::vector<Command> captureCommands() {
    return {
        {"save", "NAME [--auto]", "capture the current windows as a new layout, optionally restored automatically",
         &saveLayout},
        {"update", "LAYOUT", "capture the current windows again into a layout", &updateLayout},
    };
}

} // namespace qw::cli
