#include "cli/run_command.h"

#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "cli/window_arguments.h"
#include "editor/editor_system.h"
#include "editor/layout_editor.h"
#include "platform/main_loop.h"
#include "restore/auto_restorer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace qw::cli {

namespace {

// A length of world time in seconds: a finite number, not negative.
std::optional<double> parseSeconds(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(seconds) || seconds < 0) return std::nullopt;
    return seconds;
}

// World time since the start, as every line begins: seconds with one decimal.
std::string stamp(const MainLoop& loop) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", toSeconds(loop.now()));
    return text;
}

struct Placement {
    WindowID window = 0;
    Rect frame;
};

int runApp(Session& session, const std::vector<std::string>& args) {
    std::optional<double> duration;
    std::vector<Placement> placements;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--for") {
            if (duration) return session.usageError("run", "--for given twice");
            if (i + 1 == args.size()) return session.usageError("run", "--for needs SECONDS");
            duration = parseSeconds(args[++i]);
            if (!duration) return session.usageError("run", "--for needs a number of seconds, not " + quote(args[i]));
        } else if (args[i] == "--place") {
            if (i + 2 >= args.size()) return session.usageError("run", "--place needs WINDOW and FRAME");
            const auto window = parseWindowID(args[++i]);
            if (!window) return session.usageError("run", window.message());
            const auto frame = parseFrame(args[++i]);
            if (!frame) return session.usageError("run", frame.message());
            placements.push_back({*window, *frame});
        } else {
            return session.usageError("run", "unexpected argument " + quote(args[i]));
        }
    }

    // The app's start-up order: the live picture, the editor, the store, the automatic restorer.
    System& system = session.system();
    LayoutEditor editor;
    LayoutStore& store = session.store();
    EditorSystem editorSystem = system.editorSystem();
    AutoRestorer restorer(editorSystem, store, editor, true);

    // Printed once the loop turn that changed them is over, as a person would see them: an
    // automatic run fills in its report in steps within one turn.
    MainLoop& loop = system.loop();
    std::ostream& out = session.out();
    std::optional<Report> printedReport;
    std::optional<std::string> printedRun;
    const auto printReport = [&] {
        if (!editor.report() || editor.report() == printedReport) return;
        printedReport = editor.report();
        out << stamp(loop) << " report: " << printable(printedReport->summary()) << "\n";
        for (const std::string& note : printedReport->notes) out << "  - " << printable(note) << "\n";
    };
    const auto printRun = [&] {
        if (!restorer.lastRun() || restorer.lastRun() == printedRun) return;
        printedRun = restorer.lastRun();
        out << stamp(loop) << " lastRun: " << printable(*printedRun) << "\n";
    };
    const Subscription reports = editor.observe(LayoutEditor::Property::report, [&] { loop.post(printReport); });
    const Subscription runs = restorer.observeLastRun([&](const std::optional<std::string>&) { loop.post(printRun); });

    // A user's edit on the canvas, not applied: unsaved work that automatic restores leave alone.
    for (const Placement& p : placements) {
        if (!system.inventory().window(p.window))
            return session.fail("no window " + std::to_string(p.window) + " among the windows listed");
        editor.place(p.window, p.frame);
    }

    system.mac().startTimeline();
    if (duration)
        loop.runFor(fromSeconds(*duration));
    else
        loop.run();
    out.flush();
    return exitSuccess;
}

} // namespace

std::vector<Command> runCommands() {
    return {
        {"run", "[--for SECONDS] [--place WINDOW FRAME]...",
         "run the app headless while the world's timeline plays, printing each report and automatic run",
         &runApp},
    };
}

} // namespace qw::cli
