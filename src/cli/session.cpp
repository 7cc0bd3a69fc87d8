#include "cli/session.h"

#include "cli/commands.h"
#include "cli/run.h"

namespace qw::cli {

Session::Session(GlobalOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err) {}

LayoutStore& Session::store() {
    if (!store_) {
        store_ = std::make_unique<LayoutStore>(options_.layoutsFile.value_or(LayoutStore::defaultURL()));
        reportProblem();
        if (store_->loadFailure()) err_ << "What was wrong: " << *store_->loadFailure() << "\n";
    }
    return *store_;
}

std::optional<std::vector<DisplayInfo>> Session::connectedDisplays() const {
    if (!displaySource_) return std::nullopt;
    return displaySource_();
}

void Session::reportProblem() {
    if (!store_ || !store_->problem() || store_->problem() == printedProblem_) return;
    printedProblem_ = store_->problem();
    err_ << *printedProblem_ << "\n";
}

int Session::fail(const std::string& message) {
    err_ << "quiltwright: " << message << "\n";
    return exitFailure;
}

int Session::usageError(std::string_view command, const std::string& message) {
    err_ << "quiltwright " << command << ": " << message << "\n";
    if (const Command* known = findCommand(command))
        err_ << "Usage: quiltwright " << known->name << (known->arguments.empty() ? "" : " ")
             << known->arguments << "\n";
    return exitUsage;
}

} // namespace qw::cli
