#include "cli/restore_command.h"

#include "cli/layout_argument.h"
#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "editor/editor_system.h"
#include "editor/layout_editor.h"
#include "platform/main_loop.h"

#include <optional>
#include <string>

namespace qw::cli {

namespace {

void printReport(std::ostream& out, const Report& report) {
    out << printable(report.summary()) << "\n";
    for (const auto& note : report.notes) out << "- " << printable(note) << "\n";
}

int restoreLayout(Session& session, const std::vector<std::string>& args) {
    std::optional<std::string> argument;
    bool openApps = true;
    bool hideOthers = true;
    for (const auto& arg : args) {
        if (arg == "--no-open-apps" && openApps)
            openApps = false;
        else if (arg == "--keep-others" && hideOthers)
            hideOthers = false;
        else if (!argument && !(arg.size() > 1 && arg.starts_with("--")))
            argument = arg;
        else
            return session.usageError("restore", "unexpected argument " + quote(arg));
    }
    if (!argument) return session.usageError("restore", "expected LAYOUT");
    const auto layout = findLayout(session.store(), *argument);
    if (!layout) return session.fail(layout.message());

    System& system = session.system();
    system.mac().startTimeline();
    EditorSystem editorSystem = system.editorSystem();
    LayoutEditor editor;
    editor.restore(*layout, editorSystem, std::nullopt, openApps, hideOthers);
    // The report is final once the desktop changes and app openings have ended.
    system.loop().runUntil([&] { return !editor.isFinishingApply(); });
    if (editor.isFinishingApply()) return session.fail("restoring " + quote(layout->name) + " did not finish");

    const Report& report = *editor.report();
    printReport(session.out(), report);
    return report.failed ? exitFailure : exitSuccess;
}

} // namespace

std::vector<Command> restoreCommands() {
    return {
        {"restore", "LAYOUT [--no-open-apps] [--keep-others]",
         "restore a layout now: move its windows, open its apps, hide the others", &restoreLayout},
    };
}

} // namespace qw::cli
