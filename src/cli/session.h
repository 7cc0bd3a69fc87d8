#pragma once

#include "cli/global_options.h"
#include "model/display_info.h"
#include "store/layout_store.h"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace qw::cli {

// What one run of a command works with. The layout store is opened on first use, so that a
// command line that is wrong, or a command that needs no layouts, never touches the file.
class Session {
public:
    // Where the connected displays come from; absent while they cannot be known.
    using DisplaySource = std::function<std::vector<DisplayInfo>()>;

    Session(GlobalOptions options, std::ostream& out, std::ostream& err);

    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    const GlobalOptions& options() const { return options_; }

    // Loads the store when first asked; a problem with the file is printed at once.
    LayoutStore& store();
    // The connected displays, or nothing when this run cannot know them.
    std::optional<std::vector<DisplayInfo>> connectedDisplays() const;
    void setDisplaySource(DisplaySource source) { displaySource_ = std::move(source); }

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
    DisplaySource displaySource_;
};

} // namespace qw::cli
