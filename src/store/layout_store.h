#pragma once

#include "model/display_info.h"
#include "model/observable.h"
#include "model/saved_layout.h"
#include "model/timestamp.h"
#include "model/uuid.h"
#include "store/file_system.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qw {

// Owns the saved layouts and the one file they live in. The file is read once, at construction,
// and written whole, atomically, after every change. Nothing is thrown: a file that cannot be read
// is moved aside and reported, and a write that fails is reported, through `problem`.
//
// A file that can be neither read nor moved aside is never written over: every later save is
// refused (the changes stay in memory) until that file is gone from its place.
class LayoutStore {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    using LayoutsObserver = Observable<std::vector<SavedLayout>>::Observer;
    using ProblemObserver = Observable<std::optional<std::string>>::Observer;

    // Reads are refused beyond this size: a layouts file is a few hundred kilobytes at most.
    static constexpr std::size_t maxFileSize = 16 * 1024 * 1024;

    // Loads the file at `fileURL`, through the machine's file system and clock.
    explicit LayoutStore(std::filesystem::path fileURL);
    LayoutStore(std::filesystem::path fileURL, std::shared_ptr<FileSystem> files, Clock clock);

    LayoutStore(const LayoutStore&) = delete;
    LayoutStore& operator=(const LayoutStore&) = delete;

    // Application Support/Quiltwright/layouts.json on macOS; elsewhere Quiltwright/layouts.json in
    // $XDG_DATA_HOME (when set to an absolute path), else in ~/.local/share.
    static std::filesystem::path defaultURL();

    // All saved layouts, in insertion order.
    const std::vector<SavedLayout>& layouts() const { return layouts_.value(); }
    // The last load or save failure, as a sentence for the user. No operation clears it.
    const std::optional<std::string>& problem() const { return problem_.value(); }
    const std::filesystem::path& fileURL() const { return fileURL_; }

    // What was wrong with the file set aside at load, for those who want to know more than
    // `problem` says (for example "layouts[0].windows[2].zOrder: expected an integer").
    const std::optional<std::string>& loadFailure() const { return loadFailure_; }
    // True when the last write failed or was refused, so the file lags behind `layouts`.
    bool hasUnsavedChanges() const { return unsaved_; }

    // Observers are told after a change, and only when the value really changed.
    Subscription observeLayouts(LayoutsObserver observer) const { return layouts_.subscribe(std::move(observer)); }
    Subscription observeProblem(ProblemObserver observer) const { return problem_.subscribe(std::move(observer)); }

    // The current time rounded down to the whole second: the stamp of `created` and `updated`.
    Timestamp now() const;

    std::optional<SavedLayout> layout(const Uuid& id) const;
    // On: also turns the flag off on every other layout made on the same set of monitors. Leaves
    // `updated` alone. Nothing happens, and nothing is written, when no layout has the id.
    void setAutoRestore(const Uuid& id, bool on);
    // Sets the name exactly as given and stamps `updated`. Nothing happens for an unknown id.
    void rename(const Uuid& id, const std::string& name);
    // Appends a copy with a new id, the given name, fresh stamps and automatic restore off.
    std::optional<SavedLayout> duplicate(const Uuid& id, const std::string& name);
    // Removes every layout with the id, and writes the file even when none had it.
    void deleteLayout(const Uuid& id);

    // Appends a layout that was just made (captured or built elsewhere), as it is.
    void add(SavedLayout layout);
    // Puts `layout` in the place of the first layout with its id; false, and nothing written, when
    // there is none.
    bool replace(SavedLayout layout);

    // A layout fits the connected displays when it has as many saved displays as there are
    // connected ones and display matching pairs every one of them.
    static bool fits(const SavedLayout& layout, const std::vector<DisplayInfo>& displays);
    // The layouts that fit the connected displays, in store order.
    std::vector<SavedLayout> matching(const std::vector<DisplayInfo>& displays) const;
    // The first fitting layout marked for automatic restore.
    std::optional<SavedLayout> autoLayout(const std::vector<DisplayInfo>& displays) const;
    // "Layout N" for the smallest N from 1 that no layout has as its exact name.
    std::string suggestedName() const;

private:
    void load();
    void setAside();
    void change(std::vector<SavedLayout> layouts);
    void persist();
    void report(std::string problem);

    std::filesystem::path fileURL_;
    std::shared_ptr<FileSystem> files_;
    Clock clock_;
    Observable<std::vector<SavedLayout>> layouts_;
    Observable<std::optional<std::string>> problem_;
    std::optional<std::string> loadFailure_;
    bool unsaved_ = false;
    // The unreadable file could not be moved aside and still sits at fileURL_.
    bool blockedByUnreadableFile_ = false;
};

} // namespace qw
