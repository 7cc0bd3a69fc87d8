#include "store/layouts_file.h"

#include "store_fixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>

namespace qw {
namespace {

using test_support::keyA;
using test_support::keyB;
using test_support::layoutOn;
using ::testing::HasSubstr;

// One layout on one display with one window: every bad file below is this with one fault.
const std::string goodFile = R"({
  "version": 1,
  "layouts": [
    {
      "id": "6F9619FF-8B86-D011-B42D-00C04FC964FF",
      "name": "Desk",
      "created": "2026-01-31T09:05:00Z",
      "updated": "2026-01-31T09:05:00Z",
      "displays": [
        {
          "uuid": "D1",
          "key": {"vendor": 1552, "model": 41001, "serial": 7},
          "name": "Studio Display",
          "frame": [[0, 0], [2560, 1440]],
          "visibleFrame": [[0, 25], [2560, 1415]]
        }
      ],
      "windows": [
        {"appName": "Notes", "title": "Ideas", "display": "D1", "frame": [[10, 30], [800, 600]], "zOrder": 0}
      ],
      "autoRestore": true
    }
  ]
})";

// goodFile with the one occurrence of `from` replaced by `to`.
std::string goodFileWith(const std::string& from, const std::string& to) {
    const auto at = goodFile.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    EXPECT_EQ(goodFile.find(from, at + 1), std::string::npos) << from;
    std::string text = goodFile;
    return text.replace(at, from.size(), to);
}

TEST(LayoutsFileTest, EncodesTheEnvelopeIndentedWithSortedKeys) {
    const auto text = LayoutsFile::encode({layoutOn("Desk", {keyA()})});
    const auto file = nlohmann::json::parse(text);
    EXPECT_EQ(file["version"], 1);
    ASSERT_EQ(file["layouts"].size(), 1u);
    EXPECT_EQ(file["layouts"][0]["name"], "Desk");
    EXPECT_LT(text.find("\"layouts\""), text.find("\"version\""));
    EXPECT_LT(text.find("\"autoRestore\""), text.find("\"windows\""));
    EXPECT_THAT(text, HasSubstr("\n  \"layouts\": [\n"));
    EXPECT_EQ(LayoutsFile::encode({}), "{\n  \"layouts\": [],\n  \"version\": 1\n}\n");
}

TEST(LayoutsFileTest, WhatItEncodesDecodesToTheSameLayouts) {
    auto second = layoutOn("Two monitors – “home”", {keyA(), keyB()});
    second.windows.front().spaceIndex = 2;
    second.windows.front().keepsDesktop = true;
    second.autoRestore = true;
    const std::vector<SavedLayout> layouts = {layoutOn("Desk", {keyA()}), second, layoutOn("Empty", {})};
    const auto decoded = LayoutsFile::decode(LayoutsFile::encode(layouts));
    ASSERT_TRUE(decoded) << decoded.message();
    EXPECT_EQ(*decoded, layouts);
}

TEST(LayoutsFileTest, DecodesAGoodFileWhateverItsVersionAndIgnoresUnknownMembers) {
    for (const auto& text : {goodFile, goodFileWith("\"version\": 1", "\"version\": 7"),
                             goodFileWith("\"version\": 1", "\"version\": -3, \"origin\": {\"app\": [1, 2]}")}) {
        const auto decoded = LayoutsFile::decode(text);
        ASSERT_TRUE(decoded) << decoded.message();
        ASSERT_EQ(decoded->size(), 1u);
        EXPECT_EQ(decoded->front().name, "Desk");
        EXPECT_TRUE(decoded->front().autoRestore);
    }
    const auto empty = LayoutsFile::decode(R"({"layouts": [], "version": 1})");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

struct BadFile {
    std::string label;
    std::string bytes;
    std::string says; // part of the failure's message: what is wrong and where
};

std::vector<BadFile> badFiles() {
    const std::string deepArrays = std::string(10000, '[') + std::string(10000, ']');
    std::string deepObjects;
    for (int i = 0; i < 10000; ++i) deepObjects += "{\"a\":";
    deepObjects += "1" + std::string(10000, '}');
    return {
        {"empty", "", "the file is empty"},
        {"only white space", " \n\t\r\n", "the file is empty"},
        {"not JSON", "layouts: none", "not valid JSON at line 1, column 1"},
        {"truncated", goodFile.substr(0, goodFile.size() / 2), "unexpected end of input"},
        {"text after the object", goodFile + "\n{}", "not valid JSON at line 25"},
        {"a comment", "// mine\n" + goodFile, "not valid JSON at line 1"},
        {"10,000 arrays deep", deepArrays, "nested more than 64 levels deep"},
        {"10,000 objects deep", deepObjects, "a.a.a.a"},
        {"invalid UTF-8", goodFileWith("Ideas", "Id\xFF" "eas"), "ill-formed UTF-8"},
        {"overlong UTF-8", goodFileWith("Ideas", "Id\xC0\xAF" "eas"), "ill-formed UTF-8"},
        {"a lone surrogate", goodFileWith("Ideas", "Id\\uD800eas"), "surrogate"},
        {"a NUL byte outside a string", goodFileWith("\"zOrder\": 0", std::string("\"zOrder\": 0\0", 12)),
         "not valid JSON at line 19, column 109: a NUL byte"},
        {"a NUL byte after the object", goodFile + std::string("\0{}", 3), "a NUL byte"},
        {"1e400", goodFileWith("[[10, 30]", "[[1e400, 30]"), "number overflow parsing '1e400'"},
        {"-1e400", goodFileWith("[[10, 30]", "[[-1e400, 30]"), "number overflow"},
        {"vendor 2^32", goodFileWith("1552", "4294967296"),
         "layouts[0].displays[0].key.vendor: expected an integer from 0 to 4294967295"},
        {"vendor -1", goodFileWith("1552", "-1"), "layouts[0].displays[0].key.vendor: expected an integer"},
        {"zOrder beyond 64 bits", goodFileWith("\"zOrder\": 0", "\"zOrder\": 18446744073709551616"),
         "layouts[0].windows[0].zOrder: expected an integer"},
        {"zOrder beyond a signed 64 bits", goodFileWith("\"zOrder\": 0", "\"zOrder\": 9223372036854775808"),
         "layouts[0].windows[0].zOrder: expected an integer"},
        {"a member name twice", goodFileWith("\"name\": \"Desk\",", "\"name\": \"Desk\", \"name\": \"Desk 2\","),
         "layouts[0].name: member name appears more than once"},
        {"version twice", goodFileWith("\"version\": 1", "\"version\": 1, \"version\": 1"), "version: member name"},
        {"version a string", goodFileWith("\"version\": 1", "\"version\": \"1\""), "version: expected an integer"},
        {"version 1.0", goodFileWith("\"version\": 1", "\"version\": 1.0"), "version: expected an integer"},
        {"no version", goodFileWith("\"version\": 1,", ""), "version: missing"},
        {"no layouts", R"({"version": 1})", "layouts: missing"},
        {"layouts an object", R"({"version": 1, "layouts": {}})", "layouts: expected an array"},
        {"an array for the file", "[]", "expected a JSON object"},
        {"a number for the file", "1", "expected a JSON object"},
        {"name a number", goodFileWith("\"Desk\"", "5"), "layouts[0].name: expected a string"},
        {"autoRestore a string", goodFileWith("\"autoRestore\": true", "\"autoRestore\": \"yes\""),
         "layouts[0].autoRestore"},
        {"autoRestore null", goodFileWith("\"autoRestore\": true", "\"autoRestore\": null"), "layouts[0].autoRestore"},
        {"a frame with one point", goodFileWith("[[10, 30], [800, 600]]", "[[10, 30]]"), "layouts[0].windows[0].frame"},
        {"no windows", goodFileWith("\"windows\"", "\"panes\""), "layouts[0].windows: missing"},
        {"fractional seconds", goodFileWith("\"created\": \"2026-01-31T09:05:00Z\"", "\"created\": \"2026-01-31T09:05:00.5Z\""),
         "layouts[0].created"},
        {"a layout that is a string", R"({"version": 1, "layouts": ["Desk"]})", "layouts[0]: expected an object"},
    };
}

TEST(LayoutsFileTest, RefusesEveryBadFileSayingWhatAndWhere) {
    for (const auto& bad : badFiles()) {
        SCOPED_TRACE(bad.label);
        const auto decoded = LayoutsFile::decode(bad.bytes);
        ASSERT_FALSE(decoded);
        EXPECT_THAT(decoded.message(), HasSubstr(bad.says));
    }
}

TEST(LayoutsFileTest, MessagesQuoteOutsideBytesSafely) {
    const std::string longJunk = "\"" + std::string(100000, 'x') + "\x01\"";
    for (const auto& bytes : {goodFileWith("Ideas", "Id\xFF\x1B[2J"), longJunk}) {
        const auto decoded = LayoutsFile::decode(bytes);
        ASSERT_FALSE(decoded);
        EXPECT_LT(decoded.message().size(), 400u);
        for (const char c : decoded.message()) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << decoded.message();
            EXPECT_LT(static_cast<unsigned char>(c), 0x7F) << decoded.message();
        }
    }
}

TEST(LayoutsFileTest, DepthUpToTheLimitIsOnlyAShapeQuestion) {
    // 63 arrays inside "layouts": deep but within the limit, so the layout's shape is what fails.
    const std::string text = "{\"version\": 1, \"layouts\": " + std::string(63, '[') + std::string(63, ']') + "}";
    const auto decoded = LayoutsFile::decode(text);
    ASSERT_FALSE(decoded);
    EXPECT_THAT(decoded.message(), HasSubstr("layouts[0]: expected an object"));
}

} // namespace
} // namespace qw
