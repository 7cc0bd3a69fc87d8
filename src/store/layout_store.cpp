#include "store/layout_store.h"

#include "model/display_matcher.h"
#include "store/layouts_file.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <unordered_set>
#include <utility>

namespace qw {

namespace fs = std::filesystem;

namespace {

// More set-aside files than this from the same second means something else is wrong.
constexpr int maxSetAsideAttempts = 1000;

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
    return {};
}

// The first layout with the id, in a list about to be changed.
SavedLayout* find(const Uuid& id, std::vector<SavedLayout>& layouts) {
    for (auto& layout : layouts)
        if (layout.id == id) return &layout;
    return nullptr;
}

} // namespace

LayoutStore::LayoutStore(fs::path fileURL)
    : LayoutStore(std::move(fileURL), std::make_shared<LocalFileSystem>(), [] { return std::chrono::system_clock::now(); }) {}

LayoutStore::LayoutStore(fs::path fileURL, std::shared_ptr<FileSystem> files, Clock clock)
    : fileURL_(std::move(fileURL)), files_(std::move(files)), clock_(std::move(clock)) {
    load();
}

fs::path LayoutStore::defaultURL() {
#if defined(__APPLE__)
    return homeFolder() / "Library" / "Application Support" / "Quiltwright" / "layouts.json";
#else
    fs::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && fs::path(xdg).is_absolute())
        data = xdg;
    else
        data = homeFolder() / ".local" / "share";
    return data / "Quiltwright" / "layouts.json";
#endif
}

Timestamp LayoutStore::now() const { return wholeSeconds(clock_()); }

// ---- Loading and writing -----------------------------------------------------------------------

void LayoutStore::load() {
    files_->removeLeftovers(fileURL_);
    if (!files_->exists(fileURL_)) return;
    try {
        auto bytes = files_->read(fileURL_, maxFileSize);
        if (!bytes) {
            loadFailure_ = bytes.message();
        } else {
            auto decoded = LayoutsFile::decode(*bytes);
            if (decoded) {
                layouts_.set(std::move(decoded).value());
                return;
            }
            loadFailure_ = decoded.message();
        }
    } catch (const std::exception& error) {
        // Decoding does not throw; running out of memory on a damaged file must still not stop
        // the app from starting.
        loadFailure_ = error.what();
    }
    setAside();
}

// Moves the unreadable file to layouts.unreadable-SECONDS.json beside it, or -2, -3 ... when that
// name is taken, so that an earlier set-aside file is never replaced.
void LayoutStore::setAside() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(clock_().time_since_epoch()).count();
    const std::string base = fileURL_.stem().string() + ".unreadable-" + std::to_string(seconds);
    std::error_code error;
    for (int attempt = 1; attempt <= maxSetAsideAttempts; ++attempt) {
        const std::string name = base + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + ".json";
        error = files_->moveWithoutReplacing(fileURL_, fileURL_.parent_path() / name);
        if (!error) {
            report("Saved layouts couldn't be read, so they were set aside as " + name + ".");
            return;
        }
        if (error != std::errc::file_exists) break;
    }
    // The file stays where it is, so no write may replace it.
    blockedByUnreadableFile_ = true;
    report("Saved layouts couldn't be read, and couldn't be set aside: " + error.message() +
           ". Changes won't be saved until " + fileURL_.filename().string() + " is moved away.");
}

void LayoutStore::change(std::vector<SavedLayout> layouts) {
    layouts_.set(std::move(layouts));
    persist();
}

void LayoutStore::persist() {
    unsaved_ = true;
    if (blockedByUnreadableFile_) {
        if (files_->exists(fileURL_)) {
            report("Couldn't save layouts: the unreadable " + fileURL_.filename().string() + " is still in the way.");
            return;
        }
        blockedByUnreadableFile_ = false; // the user moved it away
    }
    if (const auto error = files_->createFolders(fileURL_.parent_path())) {
        report("Couldn't save layouts: " + error.message());
        return;
    }
    std::string data;
    try {
        data = LayoutsFile::encode(layouts());
    } catch (const std::exception& error) {
        report(std::string("Couldn't save layouts: ") + error.what());
        return;
    }
    if (const auto error = files_->writeAtomically(fileURL_, data)) {
        report("Couldn't save layouts: " + error.message());
        return;
    }
    unsaved_ = false;
}

void LayoutStore::report(std::string problem) { problem_.set(std::move(problem)); }

// ---- Operations --------------------------------------------------------------------------------

std::optional<SavedLayout> LayoutStore::layout(const Uuid& id) const {
    for (const auto& layout : layouts())
        if (layout.id == id) return layout;
    return std::nullopt;
}

void LayoutStore::setAutoRestore(const Uuid& id, bool on) {
    auto list = layouts();
    SavedLayout* target = find(id, list);
    if (!target) return;
    if (on) {
        for (auto& other : list)
            if (&other != target && other.hasSameDisplays(*target)) other.autoRestore = false;
    }
    target->autoRestore = on;
    change(std::move(list));
}

void LayoutStore::rename(const Uuid& id, const std::string& name) {
    auto list = layouts();
    SavedLayout* target = find(id, list);
    if (!target) return;
    target->name = name;
    target->updated = now();
    change(std::move(list));
}

std::optional<SavedLayout> LayoutStore::duplicate(const Uuid& id, const std::string& name) {
    auto copy = layout(id);
    if (!copy) return std::nullopt;
    copy->id = Uuid::random();
    copy->name = name;
    copy->created = copy->updated = now();
    copy->autoRestore = false;
    auto list = layouts();
    list.push_back(*copy);
    change(std::move(list));
    return copy;
}

void LayoutStore::deleteLayout(const Uuid& id) {
    auto list = layouts();
    std::erase_if(list, [&](const SavedLayout& layout) { return layout.id == id; });
    change(std::move(list));
}

void LayoutStore::add(SavedLayout layout) {
    auto list = layouts();
    list.push_back(std::move(layout));
    change(std::move(list));
}

bool LayoutStore::replace(SavedLayout layout) {
    auto list = layouts();
    SavedLayout* target = find(layout.id, list);
    if (!target) return false;
    *target = std::move(layout);
    change(std::move(list));
    return true;
}

// ---- Queries -----------------------------------------------------------------------------------

bool LayoutStore::fits(const SavedLayout& layout, const std::vector<DisplayInfo>& displays) {
    return layout.displays.size() == displays.size() &&
           DisplayMatcher::map(layout.displays, displays).size() == layout.displays.size();
}

std::vector<SavedLayout> LayoutStore::matching(const std::vector<DisplayInfo>& displays) const {
    std::vector<SavedLayout> fitting;
    for (const auto& layout : layouts())
        if (fits(layout, displays)) fitting.push_back(layout);
    return fitting;
}

std::optional<SavedLayout> LayoutStore::autoLayout(const std::vector<DisplayInfo>& displays) const {
    for (const auto& layout : layouts())
        if (layout.autoRestore && fits(layout, displays)) return layout;
    return std::nullopt;
}

std::string LayoutStore::suggestedName() const {
    std::unordered_set<std::string> names;
    for (const auto& layout : layouts()) names.insert(layout.name);
    for (std::size_t number = 1;; ++number) {
        std::string name = "Layout " + std::to_string(number);
        if (!names.contains(name)) return name;
    }
}

} // namespace qw
