#pragma once

#include "model/display_info.h"
#include "model/saved_layout.h"
#include "store/file_system.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qw::test_support {

// 2026-01-31T09:05:00Z and a little, so that rounding down to the second shows.
inline constexpr std::int64_t fixedSeconds = 1769850300;
inline std::chrono::system_clock::time_point fixedTime() {
    return std::chrono::system_clock::time_point(std::chrono::seconds(fixedSeconds)) + std::chrono::milliseconds(750);
}

inline DisplayKey keyA() { return {1552, 41040, 0}; }
inline DisplayKey keyB() { return {4268, 16620, 123456}; }
inline DisplayKey keyC() { return {7789, 2, 99}; }

// A layout made on monitors with the given keys, one window on the first.
inline SavedLayout layoutOn(std::string name, const std::vector<DisplayKey>& keys) {
    SavedLayout layout;
    layout.id = Uuid::random();
    layout.name = std::move(name);
    layout.created = layout.updated = Timestamp(std::chrono::seconds(1700000000));
    double left = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        SavedDisplay display{"DISPLAY-" + std::to_string(i) + "-" + layout.id.string(), keys[i], "Display " + std::to_string(i),
                             Rect(left, 0, 1440, 900), Rect(left, 25, 1440, 875)};
        layout.displays.push_back(display);
        left += 1440;
    }
    if (!keys.empty()) {
        SavedWindow window;
        window.appName = "Notes";
        window.bundleID = "com.apple.Notes";
        window.title = "Ideas";
        window.display = layout.displays.front().uuid;
        window.frame = Rect(10, 30, 800, 600);
        layout.windows.push_back(window);
    }
    return layout;
}

// The connected display a saved one was made on.
inline DisplayInfo connected(const SavedDisplay& saved, DisplayID id) {
    DisplayInfo info;
    info.id = id;
    info.uuid = saved.uuid;
    info.key = saved.key;
    info.name = saved.name;
    info.frame = saved.frame;
    info.visibleFrame = saved.visibleFrame;
    return info;
}

// The machine's file system, with failures on demand and a count of writes.
class FlakyFileSystem final : public FileSystem {
public:
    std::optional<std::error_code> failWrite, failMove, failCreateFolders;
    int writes = 0;

    bool exists(const std::filesystem::path& path) const override { return local_.exists(path); }
    Result<std::string> read(const std::filesystem::path& path, std::size_t maxBytes) const override {
        return local_.read(path, maxBytes);
    }
    std::error_code createFolders(const std::filesystem::path& path) override {
        return failCreateFolders ? *failCreateFolders : local_.createFolders(path);
    }
    std::error_code writeAtomically(const std::filesystem::path& path, std::string_view data) override {
        ++writes;
        return failWrite ? *failWrite : local_.writeAtomically(path, data);
    }
    std::error_code moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return failMove ? *failMove : local_.moveWithoutReplacing(from, to);
    }
    void removeLeftovers(const std::filesystem::path& path) override { local_.removeLeftovers(path); }

private:
    LocalFileSystem local_;
};

} // namespace qw::test_support
