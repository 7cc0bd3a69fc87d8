#include "model/saved_layout_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace qw {
namespace {

using nlohmann::json;
using namespace std::chrono;

// A layout with every member: two displays (one left of and above the main one), a window with
// every optional member and a window with none.
const char* const fullLayoutText = R"({
  "autoRestore": true,
  "created": "2026-01-31T09:05:00Z",
  "displays": [
    {
      "frame": [[0, 0], [1440, 900]],
      "key": {"model": 41040, "serial": 0, "vendor": 1552},
      "name": "Built-in Retina Display",
      "uuid": "37D8832A-2D66-02CA-B9F7-8F30A301B230",
      "visibleFrame": [[0, 25], [1440, 875]]
    },
    {
      "frame": [[-1920, -180], [1920, 1080]],
      "key": {"model": 4294967295, "serial": 123456, "vendor": 4268},
      "name": "DELL U2720Q",
      "uuid": "9A1C5E0B-4B1D-4C39-8E63-2B1F3C7D9E01",
      "visibleFrame": [[-1920, -180], [1920, 1045.5]]
    }
  ],
  "id": "3F2504E0-4F89-41D3-9A0C-0305E82C3301",
  "name": "Desk",
  "updated": "2026-02-01T18:30:15Z",
  "windows": [
    {
      "appName": "Mail",
      "appPath": "/System/Applications/Mail.app",
      "bundleID": "com.apple.mail",
      "desktopNumber": 2,
      "display": "9A1C5E0B-4B1D-4C39-8E63-2B1F3C7D9E01",
      "frame": [[-1440, 25], [1440, 875]],
      "keepsDesktop": true,
      "spaceIndex": 3,
      "spaceUUID": "E2C7A5D4-8F61-4B0A-9C3E-5D7F1A2B3C4D",
      "title": "Inbox – 12 messages",
      "zOrder": 0
    },
    {
      "appName": "Notes",
      "display": "37D8832A-2D66-02CA-B9F7-8F30A301B230",
      "frame": [[100.25, 60], [800, 600]],
      "title": "",
      "zOrder": 17
    }
  ]
})";

json fullLayoutJson() { return json::parse(fullLayoutText); }

SavedLayout fullLayout() {
    SavedLayout layout;
    layout.id = *Uuid::parse("3F2504E0-4F89-41D3-9A0C-0305E82C3301");
    layout.name = "Desk";
    layout.created = sys_days{2026y / January / 31} + 9h + 5min;
    layout.updated = sys_days{2026y / February / 1} + 18h + 30min + 15s;
    layout.displays = {
        SavedDisplay{"37D8832A-2D66-02CA-B9F7-8F30A301B230", DisplayKey{1552, 41040, 0}, "Built-in Retina Display",
                     Rect(0, 0, 1440, 900), Rect(0, 25, 1440, 875)},
        SavedDisplay{"9A1C5E0B-4B1D-4C39-8E63-2B1F3C7D9E01", DisplayKey{4268, 4294967295, 123456}, "DELL U2720Q",
                     Rect(-1920, -180, 1920, 1080), Rect(-1920, -180, 1920, 1045.5)},
    };
    SavedWindow mail;
    mail.bundleID = "com.apple.mail";
    mail.appName = "Mail";
    mail.title = "Inbox – 12 messages";
    mail.display = "9A1C5E0B-4B1D-4C39-8E63-2B1F3C7D9E01";
    mail.frame = Rect(-1440, 25, 1440, 875);
    mail.spaceIndex = 3;
    mail.zOrder = 0;
    mail.appPath = "/System/Applications/Mail.app";
    mail.keepsDesktop = true;
    mail.spaceUUID = "E2C7A5D4-8F61-4B0A-9C3E-5D7F1A2B3C4D";
    mail.desktopNumber = 2;
    SavedWindow notes;
    notes.appName = "Notes";
    notes.display = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
    notes.frame = Rect(100.25, 60, 800, 600);
    notes.zOrder = 17;
    layout.windows = {mail, notes};
    layout.autoRestore = true;
    return layout;
}

// Reads as the layouts file does for its fourth layout.
Result<SavedLayout> read(const json& j) { return savedLayoutFromJson(j, "layouts[3]"); }

std::string failureOf(const json& j) {
    const auto result = read(j);
    return result ? "(read without failure)" : result.message();
}

TEST(SavedLayoutJson, ReadsEveryMember) {
    const auto layout = read(fullLayoutJson());
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_EQ(*layout, fullLayout());
    EXPECT_EQ(layout->displays[1].frame.minX(), -1920);
    EXPECT_EQ(layout->windows[0].frame, Rect(-1440, 25, 1440, 875));
}

TEST(SavedLayoutJson, WritesEveryMember) {
    EXPECT_EQ(toJson(fullLayout()), fullLayoutJson());
}

TEST(SavedLayoutJson, RoundTripsThroughText) {
    SavedLayout layout = fullLayout();
    layout.windows[0].zOrder = std::numeric_limits<std::int64_t>::min();
    layout.windows[1].zOrder = std::numeric_limits<std::int64_t>::max();
    layout.windows[0].spaceIndex = std::numeric_limits<int>::min();
    layout.windows[0].desktopNumber = std::numeric_limits<int>::max();
    layout.windows[1].frame = Rect(0.1, -0.30000000000000004, 1e-300, 1.7976931348623157e308);
    layout.displays[0].key = DisplayKey{0xFFFFFFFF, 0x80000000, 0};
    layout.displays[0].name = "Écran \"principal\" \\ 🖥";
    layout.created = sys_days{1969y / December / 31} + 23h + 59min + 59s;
    layout.autoRestore = false;

    const auto back = read(json::parse(toJson(layout).dump(2)));
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(*back, layout);
}

TEST(SavedLayoutJson, OlderLayoutsReadWithDefaultsAndAreWrittenBackInFull) {
    json j = fullLayoutJson();
    j.erase("autoRestore");
    const json window = j["windows"][1];
    const auto layout = read(j);
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_FALSE(layout->autoRestore);
    const SavedWindow& notes = layout->windows[1];
    EXPECT_FALSE(notes.bundleID);
    EXPECT_FALSE(notes.spaceIndex);
    EXPECT_FALSE(notes.appPath);
    EXPECT_FALSE(notes.keepsDesktop);
    EXPECT_FALSE(notes.spaceUUID);
    EXPECT_FALSE(notes.desktopNumber);

    const json written = toJson(*layout);
    EXPECT_EQ(written.at("autoRestore"), false);
    EXPECT_EQ(written.at("windows").at(1), window); // the five required members only, no nulls
}

TEST(SavedLayoutJson, KeepsDesktopIsWrittenOnlyWhenTrue) {
    SavedWindow window = fullLayout().windows[1];
    EXPECT_FALSE(toJson(window).contains("keepsDesktop"));
    window.keepsDesktop = false;
    EXPECT_FALSE(toJson(window).contains("keepsDesktop"));
    window.keepsDesktop = true;
    EXPECT_EQ(toJson(window).at("keepsDesktop"), true);

    // A stored false reads as absent, the same as a missing member.
    json j = toJson(window);
    j["keepsDesktop"] = false;
    const auto read = savedWindowFromJson(j, "w");
    ASSERT_TRUE(read) << read.message();
    EXPECT_FALSE(read->keepsDesktop);
}

TEST(SavedLayoutJson, ReadsLowerCaseIdsAndWritesThemUpperCase) {
    json j = fullLayoutJson();
    j["id"] = "3f2504e0-4f89-41d3-9a0c-0305e82c3301";
    const auto layout = read(j);
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_EQ(layout->id, fullLayout().id);
    EXPECT_EQ(toJson(*layout).at("id"), "3F2504E0-4F89-41D3-9A0C-0305E82C3301");
}

TEST(SavedLayoutJson, IgnoresUnknownMembers) {
    json j = fullLayoutJson();
    j["color"] = "blue";
    j["displays"][0]["scale"] = 2;
    j["displays"][0]["key"]["productName"] = nullptr;
    j["windows"][0]["minimized"] = {{"since", "yesterday"}};
    const auto layout = read(j);
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_EQ(*layout, fullLayout());
}

TEST(SavedLayoutJson, EveryRequiredMemberMissingFailsWithItsPath) {
    const struct {
        const char* pointer;
        const char* path;
    } cases[] = {
        {"/id", "layouts[3].id"},
        {"/name", "layouts[3].name"},
        {"/created", "layouts[3].created"},
        {"/updated", "layouts[3].updated"},
        {"/displays", "layouts[3].displays"},
        {"/windows", "layouts[3].windows"},
        {"/displays/0/uuid", "layouts[3].displays[0].uuid"},
        {"/displays/0/key", "layouts[3].displays[0].key"},
        {"/displays/1/name", "layouts[3].displays[1].name"},
        {"/displays/1/frame", "layouts[3].displays[1].frame"},
        {"/displays/1/visibleFrame", "layouts[3].displays[1].visibleFrame"},
        {"/displays/1/key/vendor", "layouts[3].displays[1].key.vendor"},
        {"/displays/1/key/model", "layouts[3].displays[1].key.model"},
        {"/displays/1/key/serial", "layouts[3].displays[1].key.serial"},
        {"/windows/0/appName", "layouts[3].windows[0].appName"},
        {"/windows/0/title", "layouts[3].windows[0].title"},
        {"/windows/1/display", "layouts[3].windows[1].display"},
        {"/windows/1/frame", "layouts[3].windows[1].frame"},
        {"/windows/1/zOrder", "layouts[3].windows[1].zOrder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pointer);
        json j = fullLayoutJson();
        const json::json_pointer member(c.pointer);
        j.at(member.parent_pointer()).erase(member.back());
        EXPECT_EQ(failureOf(j), std::string(c.path) + ": missing");
    }
}

const std::string expectedUuid = "expected a UUID such as 3F2504E0-4F89-41D3-9A0C-0305E82C3301";
const std::string expectedDate = "expected a date such as 2026-01-31T09:05:00Z";
const std::string expectedRect = "expected [[x, y], [width, height]]";

TEST(SavedLayoutJson, MistypedMembersFailWithTheirPath) {
    const struct {
        const char* pointer;
        json value;
        std::string message;
    } cases[] = {
        {"/id", "3F2504E0-4F89-41D3-9A0C-0305E82C330", "layouts[3].id: " + expectedUuid},
        {"/id", "3F2504E0-4F89-41D3-9A0C-0305E82C330X", "layouts[3].id: " + expectedUuid},
        {"/id", 42, "layouts[3].id: " + expectedUuid},
        {"/name", 7, "layouts[3].name: expected a string"},
        {"/name", nullptr, "layouts[3].name: expected a string"},
        {"/created", "2026-01-31T09:05:00.000Z", "layouts[3].created: " + expectedDate},
        {"/created", 1769850300, "layouts[3].created: " + expectedDate},
        {"/updated", "2026-01-31", "layouts[3].updated: " + expectedDate},
        {"/updated", "2026-01-31T10:05:00+01:00", "layouts[3].updated: " + expectedDate},
        {"/displays", json::object(), "layouts[3].displays: expected an array"},
        {"/windows", "none", "layouts[3].windows: expected an array"},
        {"/autoRestore", "yes", "layouts[3].autoRestore: expected true or false"},
        {"/autoRestore", 1, "layouts[3].autoRestore: expected true or false"},
        {"/autoRestore", nullptr, "layouts[3].autoRestore: expected true or false"},
        {"/displays/0", json::array(), "layouts[3].displays[0]: expected an object"},
        {"/displays/0/uuid", 5, "layouts[3].displays[0].uuid: expected a string"},
        {"/displays/0/name", nullptr, "layouts[3].displays[0].name: expected a string"},
        {"/displays/0/key", json::array({1, 2, 3}), "layouts[3].displays[0].key: expected an object"},
        {"/displays/0/key/vendor", "1552", "layouts[3].displays[0].key.vendor: expected an integer"},
        {"/displays/1/frame", json::parse(R"([[0, 0], [1, "2"]])"), "layouts[3].displays[1].frame: " + expectedRect},
        {"/displays/1/visibleFrame", nullptr, "layouts[3].displays[1].visibleFrame: " + expectedRect},
        {"/windows/1", "window", "layouts[3].windows[1]: expected an object"},
        {"/windows/0/bundleID", 3, "layouts[3].windows[0].bundleID: expected a string"},
        // Null is never written, so it is not read as "absent" either.
        {"/windows/0/bundleID", nullptr, "layouts[3].windows[0].bundleID: expected a string"},
        {"/windows/0/spaceUUID", nullptr, "layouts[3].windows[0].spaceUUID: expected a string"},
        {"/windows/0/appName", false, "layouts[3].windows[0].appName: expected a string"},
        {"/windows/0/title", nullptr, "layouts[3].windows[0].title: expected a string"},
        {"/windows/0/display", json::object(), "layouts[3].windows[0].display: expected a string"},
        {"/windows/0/frame", json::array({0, 0, 100, 100}), "layouts[3].windows[0].frame: " + expectedRect},
        {"/windows/0/spaceIndex", "2", "layouts[3].windows[0].spaceIndex: expected an integer"},
        {"/windows/0/spaceIndex", 2.0, "layouts[3].windows[0].spaceIndex: expected an integer"},
        {"/windows/0/zOrder", 1.5, "layouts[3].windows[0].zOrder: expected an integer"},
        {"/windows/0/zOrder", "3", "layouts[3].windows[0].zOrder: expected an integer"},
        {"/windows/0/appPath", json::array(), "layouts[3].windows[0].appPath: expected a string"},
        {"/windows/0/keepsDesktop", "true", "layouts[3].windows[0].keepsDesktop: expected true or false"},
        {"/windows/0/keepsDesktop", 1, "layouts[3].windows[0].keepsDesktop: expected true or false"},
        {"/windows/0/keepsDesktop", nullptr, "layouts[3].windows[0].keepsDesktop: expected true or false"},
        {"/windows/0/desktopNumber", true, "layouts[3].windows[0].desktopNumber: expected an integer"},
        {"/windows/1/zOrder", nullptr, "layouts[3].windows[1].zOrder: expected an integer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer << " = " << c.value.dump());
        json j = fullLayoutJson();
        j[json::json_pointer(c.pointer)] = c.value;
        EXPECT_EQ(failureOf(j), c.message);
    }
}

TEST(SavedLayoutJson, IntegersMustBeJsonIntegersWithinTheirRange) {
    const std::string uint32Range = "expected an integer from 0 to 4294967295";
    const std::string int64Range = "expected an integer from -9223372036854775808 to 9223372036854775807";
    const std::string intRange = "expected an integer from -2147483648 to 2147483647";
    const struct {
        const char* pointer;
        const char* text;       // as it stands in the file
        std::string failure;    // empty when it reads
    } cases[] = {
        {"/displays/0/key/vendor", "0", ""},
        {"/displays/0/key/model", "4294967295", ""},
        {"/displays/0/key/serial", "4294967296", uint32Range},
        {"/displays/0/key/vendor", "-1", uint32Range},
        {"/displays/0/key/vendor", "1.0", "expected an integer"},
        {"/displays/0/key/vendor", "1e3", "expected an integer"},
        {"/windows/0/zOrder", "9223372036854775807", ""},
        {"/windows/0/zOrder", "-9223372036854775808", ""},
        {"/windows/0/zOrder", "-0", ""},
        {"/windows/0/zOrder", "9223372036854775808", int64Range},   // kept as unsigned by the parser
        {"/windows/0/zOrder", "18446744073709551616", "expected an integer"}, // kept as a double
        {"/windows/0/zOrder", "-9223372036854775809", "expected an integer"},
        {"/windows/0/spaceIndex", "2147483647", ""},
        {"/windows/0/spaceIndex", "-2147483648", ""},
        {"/windows/0/spaceIndex", "2147483648", intRange},
        {"/windows/1/spaceIndex", "-2147483649", intRange},
        {"/windows/0/desktopNumber", "4294967297", intRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer << " = " << c.text);
        json j = fullLayoutJson();
        const json::json_pointer pointer(c.pointer);
        j[pointer] = json::parse(c.text);
        const auto layout = read(j);
        if (c.failure.empty()) {
            ASSERT_TRUE(layout) << layout.message();
            EXPECT_EQ(toJson(*layout)[pointer], json::parse(c.text));
        } else {
            EXPECT_THAT(failureOf(j), testing::StartsWith("layouts[3]."));
            EXPECT_THAT(failureOf(j), testing::EndsWith(": " + c.failure));
        }
    }
}

TEST(SavedLayoutJson, IntegersBuiltInMemoryAreCheckedTheSameWay) {
    // Values built in code are signed unless they came from an unsigned type.
    EXPECT_EQ(*displayKeyFromJson(json{{"vendor", 5}, {"model", 6}, {"serial", 7}}, "key"), (DisplayKey{5, 6, 7}));
    EXPECT_EQ(displayKeyFromJson(json{{"vendor", -5}, {"model", 6}, {"serial", 7}}, "key").message(),
              "key.vendor: expected an integer from 0 to 4294967295");
    EXPECT_EQ(displayKeyFromJson(json{{"vendor", 5}, {"model", std::int64_t{1} << 32}, {"serial", 7}}, "key").message(),
              "key.model: expected an integer from 0 to 4294967295");
    EXPECT_EQ(displayKeyFromJson(json{{"vendor", 5}, {"model", 6}, {"serial", 7.0}}, "key").message(),
              "key.serial: expected an integer");
}

TEST(SavedLayoutJson, Rectangles) {
    const struct {
        const char* text;
        Rect rect;
    } good[] = {
        {"[[-1440, 25], [1440, 875]]", Rect(-1440, 25, 1440, 875)},
        {"[[0.5, -1e3], [2.25, 0]]", Rect(0.5, -1000, 2.25, 0)},
        {"[[18446744073709551615, 0], [-3, -4]]", Rect(18446744073709551615.0, 0, -3, -4)},
    };
    for (const auto& c : good) {
        SCOPED_TRACE(c.text);
        const auto rect = rectFromJson(json::parse(c.text), "frame");
        ASSERT_TRUE(rect) << rect.message();
        EXPECT_EQ(*rect, c.rect);
    }

    const char* const bad[] = {
        "[[1, 2], [3]]",
        "[[1, 2, 3], [4, 5]]",
        "[[1, 2], [3, 4], [5, 6]]",
        "[[1, 2]]",
        "[1, 2, 3, 4]",
        "[]",
        R"({"x": 1, "y": 2, "width": 3, "height": 4})",
        R"([["1", 2], [3, 4]])",
        "[[1, 2], [3, null]]",
        "[[true, 2], [3, 4]]",
        "null",
        R"("{{1, 2}, {3, 4}}")",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_EQ(rectFromJson(json::parse(text), "frame").message(), "frame: " + expectedRect);
    }

    // The parser cannot produce them, but a value built in code can hold non-finite numbers.
    for (const double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(value);
        EXPECT_FALSE(rectFromJson(json::array({json::array({0, value}), json::array({1, 1})}), "frame"));
        EXPECT_FALSE(rectFromJson(json::array({json::array({0, 0}), json::array({value, 1})}), "frame"));
    }
}

TEST(SavedLayoutJson, PathsNestFromTheGivenPrefix) {
    json j = fullLayoutJson();
    j["windows"][0]["frame"] = "wide";
    EXPECT_EQ(savedLayoutFromJson(j, "layouts[2]").message(),
              "layouts[2].windows[0].frame: expected [[x, y], [width, height]]");
    EXPECT_EQ(savedLayoutFromJson(j, "").message(), "windows[0].frame: expected [[x, y], [width, height]]");
    EXPECT_EQ(savedWindowFromJson(j["windows"][0], "").message(), "frame: expected [[x, y], [width, height]]");
    EXPECT_EQ(savedDisplayFromJson(json::array(), "displays[4]").message(), "displays[4]: expected an object");
    EXPECT_EQ(savedLayoutFromJson(json(), "").message(), "expected an object");
    EXPECT_EQ(displayKeyFromJson(json::object(), "k").message(), "k.vendor: missing");
}

TEST(SavedLayoutJson, ReportsTheFirstProblemInReadingOrder) {
    json j = fullLayoutJson();
    j.erase("name");
    j["windows"][1].erase("title");
    EXPECT_EQ(failureOf(j), "layouts[3].name: missing");
    j["name"] = "Desk";
    j["displays"][1]["key"].erase("serial");
    EXPECT_EQ(failureOf(j), "layouts[3].displays[1].key.serial: missing");
}

TEST(SavedLayoutJson, EmptyListsAreFine) {
    json j = fullLayoutJson();
    j["displays"] = json::array();
    j["windows"] = json::array();
    const auto layout = read(j);
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_TRUE(layout->displays.empty());
    EXPECT_TRUE(layout->windows.empty());
    EXPECT_EQ(toJson(*layout).at("windows"), json::array());
}

} // namespace
} // namespace qw
