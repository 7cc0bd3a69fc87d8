#include "cli/run.h"

#include "cli/commands.h"
#include "cli/global_options.h"
#include "cli/session.h"
#include "cli/text.h"
#include "cli/usage.h"

#include <exception>

namespace qw::cli {

namespace {

int usageError(std::ostream& err, const std::string& message) {
    err << "quiltwright: " << message << "\n" << "Run \u201Cquiltwright --help\u201D for usage.\n";
    return exitUsage;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        auto invocation = parseInvocation(args);
        if (!invocation) return usageError(err, invocation.message());
        // Without a command the menu-bar app would start; until it exists, the help stands in.
        if (invocation->options.help || invocation->command.empty()) {
            out << usage();
            return exitSuccess;
        }
        const std::string& name = invocation->command.front();
        const Command* command = findCommand(name);
        if (!command) return usageError(err, "unknown command " + quote(name));

        Session session(std::move(invocation->options), out, err);
        if (const auto problem = session.loadWorld()) return usageError(err, *problem);
        const std::vector<std::string> commandArgs(invocation->command.begin() + 1, invocation->command.end());
        int status = command->run(session, commandArgs);
        session.reportProblem();
        if (const auto problem = session.writeWorld()) {
            err << "quiltwright: " << *problem << "\n";
            status = exitFailure;
        }
        return status;
    } catch (const std::exception& error) {
        err << "quiltwright: unexpected error: " << error.what() << "\n";
        return exitFailure;
    }
}

} // namespace qw::cli
