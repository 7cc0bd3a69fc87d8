#include "cli/session.h"

#include "cli/commands.h"
#include "cli/run.h"
#include "cli/text.h"
#include "platform/sim/simulated_mac.h"

#include <fstream>

namespace qw::cli {

Session::Session(GlobalOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err) {}

// The system's loop and services end before the store that may observe them.
Session::~Session() { system_.reset(); }

LayoutStore& Session::store() {
    if (!store_) {
        store_ = std::make_unique<LayoutStore>(options_.layoutsFile.value_or(LayoutStore::defaultURL()));
        reportProblem();
        if (store_->loadFailure()) err_ << "What was wrong: " << *store_->loadFailure() << "\n";
    }
    return *store_;
}

std::optional<std::string> Session::loadWorld() {
    if (!options_.worldFile || loadedWorld_ || system_) return std::nullopt;
    auto world = sim::readWorldFile(*options_.worldFile);
    if (!world) return "world file " + printable(options_.worldFile->string()) + ": " + world.message();
    loadedWorld_ = std::move(world).value();
    return std::nullopt;
}

System& Session::system() {
    if (!system_) {
        // run() has read --world already; a caller that did not gets the demo world on a failure.
        if (!loadedWorld_ && options_.worldFile) loadWorld();
        system_ = std::make_unique<System>(loadedWorld_ ? std::move(*loadedWorld_) : sim::demoWorld());
        loadedWorld_.reset();
    }
    return *system_;
}

const std::vector<DisplayInfo>& Session::connectedDisplays() { return system().inventory().displays(); }

std::optional<std::string> Session::writeWorld() {
    if (!options_.worldOutFile) return std::nullopt;
    const std::string text = sim::writeWorld(system().mac().world());
    const auto& path = *options_.worldOutFile;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file << text;
    if (file) file.close();
    if (!file) return "could not write the world to " + printable(path.string());
    return std::nullopt;
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
