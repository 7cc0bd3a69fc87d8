// Reading a world file: every member checked for its type and range, then the defaults that depend on
// the rest of the world filled in, then the whole world checked for consistency.

#include "platform/sim/simulated_mac.h"
#include "platform/sim/world_checks.h"
#include "platform/sim/world_json.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace qw::sim {

using namespace world_json;

namespace {

constexpr std::int64_t maxUInt32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t maxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr double maxSeconds = 10'000'000;

// A display as read, with what it left to the defaults.
struct DisplayDraft {
    Display display;
    std::string path;
    bool spacesGiven = false;
    bool currentGiven = false;
};

struct WindowDraft {
    bool spacesGiven = false;
};

class WorldReader {
public:
    explicit WorldReader(Reader& reader) : r_(reader) {}

    World read(const json& document) {
        World world;
        ObjectReader top(r_, document, "");
        if (const json* v = top.member("now")) world.now = r_.date(*v, "now").value_or(world.now);
        if (const json* v = top.member("processID")) world.processID = readPid(*v, "processID");
        world.accessibility = top.boolean("accessibility", true);
        world.screenRecording = top.boolean("screenRecording", true);
        world.separateSpaces = top.boolean("separateSpaces", true);
        world.desktopFunctions = top.boolean("desktopFunctions", true);
        world.asleep = top.boolean("asleep", false);

        if (const json* v = top.member("displays")) {
            forEach(*v, "displays", [&](const json& element, const std::string& path) {
                displays_.push_back(readDisplay(element, path));
            });
        } else {
            displays_.push_back(defaultDisplay());
        }
        if (const json* v = top.member("apps"))
            forEach(*v, "apps", [&](const json& e, const std::string& p) { world.apps.push_back(readApp(e, p)); });
        if (const json* v = top.member("windows"))
            forEach(*v, "windows", [&](const json& e, const std::string& p) {
                world.windows.push_back(readWindow(e, p));
            });
        if (const json* v = top.member("defaults"))
            world.defaults = r_.dictionary(*v, "defaults").value_or(PropertyValue::Dictionary{});
        if (const json* v = top.member("preferences")) readPreferences(*v, world);
        if (const json* v = top.member("loginItem")) world.loginItem = readLoginItem(*v, "loginItem");
        if (const json* v = top.member("openedURLs"))
            forEach(*v, "openedURLs", [&](const json& e, const std::string& p) {
                if (auto url = r_.string(e, p)) world.openedURLs.push_back(*url);
            });
        world.accessibilityPrompts = readCount(top, "accessibilityPrompts");
        world.screenCaptureRequests = readCount(top, "screenCaptureRequests");
        if (const json* v = top.member("lastPID"))
            world.lastPID = static_cast<ProcessID>(r_.integer(*v, "lastPID", 0, maxInt32, "a process id").value_or(0));
        if (const json* v = top.member("lastWindowID"))
            world.lastWindowID = static_cast<WindowID>(
                r_.integer(*v, "lastWindowID", 0, maxUInt32, "an unsigned 32-bit integer").value_or(0));
        if (const json* v = top.member("timeline"))
            forEach(*v, "timeline", [&](const json& e, const std::string& p) {
                world.timeline.push_back(readEvent(e, p));
            });
        top.finish();

        if (r_.ok()) complete(world);
        return world;
    }

private:
    template <typename F>
    void forEach(const json& value, const std::string& path, F read) {
        const auto* elements = r_.array(value, path);
        if (!elements) return;
        for (std::size_t i = 0; i < elements->size() && r_.ok(); ++i) read((*elements)[i], elementPath(path, i));
    }

    ProcessID readPid(const json& value, const std::string& path) {
        return static_cast<ProcessID>(r_.integer(value, path, 1, maxInt32, "a process id from 1 to 2147483647").value_or(1));
    }

    std::uint32_t readUInt32(const json& value, const std::string& path, std::int64_t min = 0) {
        return static_cast<std::uint32_t>(
            r_.integer(value, path, min, maxUInt32,
                       min == 0 ? "an unsigned 32-bit integer" : "an unsigned 32-bit integer other than 0")
                .value_or(0));
    }

    int readCount(ObjectReader& object, std::string_view key) {
        const json* v = object.member(key);
        if (!v) return 0;
        return static_cast<int>(r_.integer(*v, object.path(key), 0, maxInt32, "a count").value_or(0));
    }

    // ---- Displays and desktops -------------------------------------------------------------------

    static DisplayDraft defaultDisplay() {
        DisplayDraft draft;
        Display& d = draft.display;
        d.id = 1;
        d.uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
        d.vendor = 1552; // Apple
        d.model = 41018;
        d.name = "Built-in Retina Display";
        d.frame = Rect(0, 0, 1440, 900);
        d.visibleFrame = defaultVisibleFrame(d.frame);
        draft.path = "displays";
        return draft;
    }

    DisplayDraft readDisplay(const json& value, const std::string& path) {
        DisplayDraft draft;
        draft.path = path;
        Display& d = draft.display;
        ObjectReader object(r_, value, path);
        if (const json* v = object.required("id")) d.id = readUInt32(*v, object.path("id"), 1);
        if (const json* v = object.member("uuid")) d.uuid = r_.nonEmptyString(*v, object.path("uuid"));
        if (const json* v = object.member("vendor")) d.vendor = readUInt32(*v, object.path("vendor"));
        if (const json* v = object.member("model")) d.model = readUInt32(*v, object.path("model"));
        if (const json* v = object.member("serial")) d.serial = readUInt32(*v, object.path("serial"));
        if (const json* v = object.required("frame")) d.frame = r_.rect(*v, object.path("frame")).value_or(Rect{});
        d.name = "Display " + std::to_string(d.id);
        if (const json* v = object.member("name")) d.name = r_.string(*v, object.path("name")).value_or(d.name);
        d.visibleFrame = defaultVisibleFrame(d.frame);
        if (const json* v = object.member("visibleFrame"))
            d.visibleFrame = r_.rect(*v, object.path("visibleFrame")).value_or(d.visibleFrame);
        d.main = object.boolean("main", false);
        d.screen = object.boolean("screen", true);
        if (const json* v = object.member("spaces")) {
            draft.spacesGiven = true;
            forEach(*v, object.path("spaces"),
                    [&](const json& e, const std::string& p) { d.spaces.push_back(readSpace(e, p)); });
        }
        if (const json* v = object.member("currentSpace")) {
            draft.currentGiven = true;
            d.currentSpace = r_.unsigned64(*v, object.path("currentSpace")).value_or(0);
            if (r_.ok() && d.currentSpace == 0) r_.fail(object.path("currentSpace"), "0 is not a space id");
        }
        object.finish();
        return draft;
    }

    Space readSpace(const json& value, const std::string& path) {
        Space s;
        ObjectReader object(r_, value, path);
        if (const json* v = object.required("id")) {
            s.id = r_.unsigned64(*v, object.path("id")).value_or(0);
            if (r_.ok() && s.id == 0) r_.fail(object.path("id"), "0 is not a space id");
        }
        if (const json* v = object.member("uuid")) s.uuid = r_.string(*v, object.path("uuid")).value_or("");
        s.fullscreen = object.boolean("fullscreen", false);
        if (const json* v = object.member("pid")) {
            s.pid = readPid(*v, object.path("pid"));
            if (!s.fullscreen) r_.fail(object.path("pid"), "only a full-screen space has a pid");
        } else if (s.fullscreen) {
            r_.fail(path, "a full-screen space needs the pid of its app");
        }
        object.finish();
        return s;
    }

    // ---- Apps ------------------------------------------------------------------------------------

    App readApp(const json& value, const std::string& path) {
        App a;
        ObjectReader object(r_, value, path);
        if (const json* v = object.required("name")) a.name = r_.nonEmptyString(*v, object.path("name")).value_or("");
        if (const json* v = object.member("bundleID")) a.bundleID = r_.nonEmptyString(*v, object.path("bundleID"));
        if (const json* v = object.required("path")) a.path = r_.nonEmptyString(*v, object.path("path")).value_or("");
        const json* pid = object.member("pid");
        a.running = object.boolean("running", pid != nullptr);
        if (pid) {
            a.pid = readPid(*pid, object.path("pid"));
            if (!a.running) r_.fail(object.path("pid"), "only a running app has a pid");
        } else if (a.running) {
            r_.fail(path, "a running app needs a pid");
        }
        a.regular = object.boolean("regular", true);
        a.hidden = object.boolean("hidden", false);
        if (a.hidden && !a.running) r_.fail(object.path("hidden"), "only a running app can be hidden");
        if (const json* v = object.member("launchDate")) {
            a.launchDate = r_.date(*v, object.path("launchDate"));
            if (!a.running) r_.fail(object.path("launchDate"), "only a running app has a launch date");
        }
        if (const json* v = object.member("opensWindows")) {
            a.opensWindows.clear();
            forEach(*v, object.path("opensWindows"),
                    [&](const json& e, const std::string& p) { a.opensWindows.push_back(readOpenedWindow(e, p)); });
        }
        if (const json* v = object.member("launchDelay"))
            a.launchDelay = r_.number(*v, object.path("launchDelay"), 0, 3600).value_or(defaultLaunchDelay);
        if (const json* v = object.member("launches")) a.launches = r_.nonEmptyString(*v, object.path("launches"));
        readBehaviour(object, a.behaviour);
        object.finish();
        return a;
    }

    void readBehaviour(ObjectReader& object, AppBehaviour& b) {
        if (const json* v = object.member("refusesMove"))
            b.refusesMove = static_cast<std::int32_t>(
                r_.integer(*v, object.path("refusesMove"), -25214, -25200,
                           "an Accessibility error code from -25214 to -25200")
                    .value_or(-25200));
        b.notResponding = object.boolean("notResponding", false);
        b.fixedSize = object.boolean("fixedSize", false);
        if (const json* v = object.member("minSize")) b.minSize = r_.size(*v, object.path("minSize"));
        if (const json* v = object.member("maxSize")) b.maxSize = r_.size(*v, object.path("maxSize"));
        if (const json* v = object.member("offset")) b.offset = r_.offset(*v, object.path("offset")).value_or(Point{});
        b.snapsBack = object.boolean("snapsBack", false);
        b.hidesWindows = object.boolean("hidesWindows", false);
        b.enhancedUserInterface = object.boolean("enhancedUserInterface", false);
        if (const json* v = object.member("titleBar")) {
            b.titleBar.emplace();
            forEach(*v, object.path("titleBar"),
                    [&](const json& e, const std::string& p) { b.titleBar->push_back(readTitleBarElement(e, p)); });
        }
        b.undraggable = object.boolean("undraggable", false);
    }

    OpenedWindow readOpenedWindow(const json& value, const std::string& path) {
        OpenedWindow w;
        ObjectReader object(r_, value, path);
        if (const json* v = object.member("title")) w.title = r_.string(*v, object.path("title")).value_or("");
        if (const json* v = object.member("frame")) w.frame = r_.rect(*v, object.path("frame"));
        object.finish();
        return w;
    }

    TitleBarElement readTitleBarElement(const json& value, const std::string& path) {
        TitleBarElement e;
        ObjectReader object(r_, value, path);
        if (const json* v = object.required("role")) e.role = r_.nonEmptyString(*v, object.path("role")).value_or("");
        if (const json* v = object.required("frame")) e.frame = r_.rect(*v, object.path("frame")).value_or(Rect{});
        if (const json* v = object.member("actions"))
            forEach(*v, object.path("actions"), [&](const json& a, const std::string& p) {
                if (auto action = r_.nonEmptyString(a, p)) e.actions.push_back(*action);
            });
        object.finish();
        return e;
    }

    // ---- Windows ---------------------------------------------------------------------------------

    Window readWindow(const json& value, const std::string& path) {
        Window w;
        WindowDraft draft;
        ObjectReader object(r_, value, path);
        if (const json* v = object.required("id")) w.id = readUInt32(*v, object.path("id"), 1);
        if (const json* v = object.required("pid")) w.pid = readPid(*v, object.path("pid"));
        if (const json* v = object.member("title")) w.title = r_.string(*v, object.path("title")).value_or("");
        if (const json* v = object.required("frame")) w.frame = r_.rect(*v, object.path("frame")).value_or(Rect{});
        if (const json* v = object.member("spaces")) {
            draft.spacesGiven = true;
            forEach(*v, object.path("spaces"), [&](const json& e, const std::string& p) {
                w.spaces.push_back(r_.unsigned64(e, p).value_or(0));
            });
        }
        w.minimized = object.boolean("minimized", false);
        if (const json* v = object.member("layer"))
            w.layer = static_cast<std::int32_t>(
                r_.integer(*v, object.path("layer"), std::numeric_limits<std::int32_t>::min(), maxInt32,
                           "a signed 32-bit integer")
                    .value_or(0));
        if (const json* v = object.member("alpha")) w.alpha = r_.number(*v, object.path("alpha"), 0, 1).value_or(1);
        object.finish();
        windowDrafts_.push_back(draft);
        return w;
    }

    // ---- Settings and the rest -------------------------------------------------------------------

    void readPreferences(const json& value, World& world) {
        if (!value.is_object()) {
            r_.fail("preferences", "expected an object of preference domains");
            return;
        }
        for (const auto& [domain, members] : value.items()) {
            auto dictionary = r_.dictionary(members, memberPath("preferences", domain));
            if (!dictionary) return;
            world.preferences.emplace(domain, std::move(*dictionary));
        }
    }

    LoginItem readLoginItem(const json& value, const std::string& path) {
        using Status = platform::LoginItems::Status;
        LoginItem item;
        ObjectReader object(r_, value, path);
        if (const json* v = object.member("status")) {
            const auto text = r_.string(*v, object.path("status"));
            static const std::pair<const char*, Status> names[] = {{"notRegistered", Status::notRegistered},
                                                                   {"enabled", Status::enabled},
                                                                   {"requiresApproval", Status::requiresApproval},
                                                                   {"notFound", Status::notFound}};
            const auto it = std::find_if(std::begin(names), std::end(names),
                                         [&](const auto& n) { return text && *text == n.first; });
            if (it != std::end(names))
                item.status = it->second;
            else if (text)
                r_.fail(object.path("status"),
                        "expected one of \"notRegistered\", \"enabled\", \"requiresApproval\", \"notFound\"");
        }
        item.requiresApproval = object.boolean("requiresApproval", false);
        if (const json* v = object.member("error")) item.error = r_.nonEmptyString(*v, object.path("error"));
        item.settingsOpened = readCount(object, "settingsOpened");
        object.finish();
        return item;
    }

    // ---- Timeline --------------------------------------------------------------------------------

    TimelineEvent readEvent(const json& value, const std::string& path) {
        TimelineEvent event;
        ObjectReader object(r_, value, path);
        if (const json* v = object.required("at")) event.at = r_.number(*v, object.path("at"), 0, maxSeconds).value_or(0);
        std::string name;
        if (const json* v = object.required("event")) name = r_.string(*v, object.path("event")).value_or("");
        if (!r_.ok()) return event;

        const auto displayId = [&](const char* key) {
            const json* v = object.required(key);
            return v ? readUInt32(*v, object.path(key), 1) : 0;
        };
        const auto windowId = [&] {
            const json* v = object.required("id");
            return v ? readUInt32(*v, object.path("id"), 1) : 0;
        };
        const auto frame = [&] {
            const json* v = object.required("frame");
            return v ? r_.rect(*v, object.path("frame")).value_or(Rect{}) : Rect{};
        };
        const auto pid = [&] {
            const json* v = object.required("pid");
            return v ? readPid(*v, object.path("pid")) : 0;
        };

        if (name == "connectDisplay") {
            events::ConnectDisplay e;
            if (const json* v = object.required("display")) timelineDisplays_.push_back(readDisplay(*v, object.path("display")));
            event.event = e;
        } else if (name == "disconnectDisplay") {
            event.event = events::DisconnectDisplay{displayId("id")};
        } else if (name == "moveDisplay") {
            const DisplayID id = displayId("id");
            event.event = events::MoveDisplay{id, frame()};
        } else if (name == "sleep") {
            event.event = events::Sleep{};
        } else if (name == "wake") {
            event.event = events::Wake{};
        } else if (name == "launchApp") {
            const json* v = object.required("path");
            event.event = events::LaunchApp{v ? r_.nonEmptyString(*v, object.path("path")).value_or("") : ""};
        } else if (name == "finishLaunch") {
            event.event = events::FinishLaunch{pid()};
        } else if (name == "quitApp") {
            event.event = events::QuitApp{pid()};
        } else if (name == "moveWindow") {
            const WindowID id = windowId();
            event.event = events::MoveWindow{id, frame()};
        } else if (name == "closeWindow") {
            event.event = events::CloseWindow{windowId()};
        } else if (name == "showDesktop") {
            const DisplayID display = displayId("display");
            SpaceID space = 0;
            if (const json* v = object.required("space")) space = r_.unsigned64(*v, object.path("space")).value_or(0);
            event.event = events::ShowDesktop{display, space};
        } else {
            r_.fail(object.path("event"),
                    "unknown event \"" + name +
                        "\" (expected connectDisplay, disconnectDisplay, moveDisplay, sleep, wake, launchApp, "
                        "quitApp, moveWindow, closeWindow, showDesktop or finishLaunch)");
        }
        object.finish();
        return event;
    }

    // ---- Defaults that depend on the rest of the world -------------------------------------------

    void complete(World& world) {
        // Exactly one display holds the menu bar; unless one says so, it is the first.
        const bool anyMain = std::any_of(displays_.begin(), displays_.end(), [](const auto& d) { return d.display.main; });
        if (!anyMain && !displays_.empty()) displays_.front().display.main = true;

        // Desktops left to the defaults get ids after every id the file names.
        SpaceID highest = 0;
        const auto noteIds = [&](const DisplayDraft& draft) {
            for (const Space& s : draft.display.spaces) highest = std::max(highest, s.id);
        };
        for (const auto& draft : displays_) noteIds(draft);
        for (const auto& draft : timelineDisplays_) noteIds(draft);
        const auto completeDisplay = [&](DisplayDraft& draft) {
            Display& d = draft.display;
            if (!draft.spacesGiven && (world.separateSpaces || d.main)) d.spaces.push_back(Space{++highest, "", false, {}});
            if (!draft.currentGiven) d.currentSpace = firstDesktop(d);
        };
        for (auto& draft : displays_) {
            completeDisplay(draft);
            world.displays.push_back(draft.display);
        }
        std::size_t connect = 0;
        for (auto& event : world.timeline) {
            if (!std::holds_alternative<events::ConnectDisplay>(event.event)) continue;
            DisplayDraft& draft = timelineDisplays_[connect++];
            completeDisplay(draft);
            std::get<events::ConnectDisplay>(event.event).display = draft.display;
        }

        for (App& app : world.apps)
            if (app.running && !app.launchDate) app.launchDate = world.now;

        for (std::size_t i = 0; i < world.windows.size(); ++i) {
            Window& w = world.windows[i];
            if (windowDrafts_[i].spacesGiven) continue;
            if (const SpaceID space = spaceForNewWindow(world, w.frame)) w.spaces.push_back(space);
        }
    }

    Reader& r_;
    std::vector<DisplayDraft> displays_;
    std::vector<DisplayDraft> timelineDisplays_; // one for each connectDisplay, in file order
    std::vector<WindowDraft> windowDrafts_;
};

} // namespace

Result<World> readWorld(std::string_view text) {
    auto document = parseStrictly(text);
    if (!document) return document.failure();
    Reader reader;
    World world = WorldReader(reader).read(*document);
    if (const auto& failure = reader.failure()) return *failure;
    if (auto problem = checkWorld(world)) return *problem;
    if (auto problem = checkTimeline(world)) return *problem;
    return world;
}

Result<World> readWorldFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Failure{"cannot read the world file " + path.string() + ": " + std::strerror(errno)};
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) return Failure{"cannot read the world file " + path.string()};
    auto world = readWorld(text.str());
    if (!world) return Failure{path.string() + ": " + world.message()};
    return world;
}

} // namespace qw::sim
