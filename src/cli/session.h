#pragma once

#include "cli/global_options.h"
#include "cli/system.h"
#include "model/display_info.h"
#include "platform/sim/world.h"
#include "store/layout_store.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace qw::cli {

// What one run of a command works with. The layout store and the system are made on first use, so
// that a command line that is wrong, or a command that needs neither, never touches them.
class Session {
public:
    Session(GlobalOptions options, std::ostream& out, std::ostream& err);
    ~Session();

    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    const GlobalOptions& options() const { return options_; }

    // Loads the store when first asked; a problem with the file is printed at once.
    LayoutStore& store();

    // Reads the --world file, if one is given, before any command runs: a world that cannot be read
    // is a wrong command line. Returns the message naming what is wrong.
    std::optional<std::string> loadWorld();
    // The system this run works against: the --world file's simulated Mac, else the demo world.
    System& system();
    // The displays connected now.
    const std::vector<DisplayInfo>& connectedDisplays();

    // Writes the world to --world-out when one is given (making the system if no command did, so
    // that the file always continues the run). Returns the failure message.
    std::optional<std::string> writeWorld();

    // Prints the store's problem when it is new since it was last printed. Run after every command.
    void reportProblem();

    // Messages for the exit statuses other than success; each returns the status.
    int fail(const std::string& message);
    int usageError(std::string_view command, const std::string& message);

private:
    GlobalOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<LayoutStore> store_;
    std::optional<std::string> printedProblem_;
    std::optional<sim::World> loadedWorld_;
    std::unique_ptr<System> system_;
};

} // namespace qw::cli
