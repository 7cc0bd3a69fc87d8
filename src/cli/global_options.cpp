#include "cli/global_options.h"

#include "cli/text.h"

#include <algorithm>

namespace qw::cli {

const std::vector<GlobalOption>& globalOptionTable() {
    static const std::vector<GlobalOption> table = {
        {"--layouts", "FILE", "the layouts file to use",
         [](GlobalOptions& options, const std::string& value) { options.layoutsFile = value; }},
        {"--world", "FILE", "run against the simulated Mac that FILE describes (default: the demo world)",
         [](GlobalOptions& options, const std::string& value) { options.worldFile = value; }},
        {"--world-out", "FILE", "when the command ends, write the simulated Mac's state to FILE",
         [](GlobalOptions& options, const std::string& value) { options.worldOutFile = value; }},
        {"--help", "", "show this help and do nothing else",
         [](GlobalOptions& options, const std::string&) { options.help = true; }},
    };
    return table;
}

Result<Invocation> parseInvocation(const std::vector<std::string>& args) {
    Invocation invocation;
    std::size_t next = 0;
    while (next < args.size()) {
        const std::string& arg = args[next];
        if (arg == "--") {
            ++next;
            break;
        }
        if (!arg.starts_with("-") || arg == "-") break;
        ++next;

        const std::string_view given = arg == "-h" ? "--help" : std::string_view(arg);
        const auto equals = given.find('=');
        const std::string_view name = given.substr(0, equals);
        const auto& table = globalOptionTable();
        const auto option = std::find_if(table.begin(), table.end(), [&](const GlobalOption& o) { return o.name == name; });
        if (option == table.end()) return Failure{"unknown option " + quote(arg)};

        std::string value;
        if (option->valueName.empty()) {
            if (equals != std::string_view::npos) return Failure{std::string(name) + " takes no value"};
        } else {
            if (equals != std::string_view::npos) {
                value = std::string(given.substr(equals + 1));
            } else if (next < args.size()) {
                value = args[next++];
            }
            if (value.empty())
                return Failure{std::string(name) + " needs a " + std::string(option->valueName)};
        }
        option->apply(invocation.options, value);
    }
    invocation.command.assign(args.begin() + static_cast<std::ptrdiff_t>(next), args.end());
    return invocation;
}

} // namespace qw::cli
