#include "desktops/desktop_names.h"

#include "platform/user_defaults.h"
#include "system/simulated_world.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

using platform::PropertyValue;
using testing::SimulatedWorld;
using Dictionary = PropertyValue::Dictionary;

SpaceInfo desktop(std::string uuid, int index) {
    SpaceInfo space;
    space.uuid = std::move(uuid);
    space.index = index;
    space.number = index;
    return space;
}

std::optional<PropertyValue> stored(SimulatedWorld& world) {
    return world.platform().defaults.object("desktopNames");
}

TEST(DesktopNamesTest, KeysADesktopByItsUUIDElseByItsDisplayAndPosition) {
    EXPECT_EQ(DesktopNames::key(desktop("6C1D2A50-0B7E-4E0C-9D9B-0C4E9A0F6B11", 2), "DISPLAY"),
              "6C1D2A50-0B7E-4E0C-9D9B-0C4E9A0F6B11");
    EXPECT_EQ(DesktopNames::key(desktop("", 3), "37D8832A-2D66-02CA-B9F7-8F30A301B230"),
              "37D8832A-2D66-02CA-B9F7-8F30A301B230#3");
}

TEST(DesktopNamesTest, StoresTrimmedNamesAndRemovesBlankOnes) {
    SimulatedWorld world("{}");
    DesktopNames names(world.platform().defaults);
    const auto mail = desktop("S1", 1), clients = desktop("", 2);

    names.set(" \t Mail  Room\n", mail, "D");
    names.set("\xC2\xA0" "Clients\xE2\x80\xA8", clients, "D"); // a no-break space and a line separator
    EXPECT_EQ(names.nickname(mail, "D"), "Mail  Room");
    EXPECT_EQ(names.nickname(clients, "D"), "Clients");
    EXPECT_EQ(names.nickname(clients, "OTHER"), std::nullopt); // the position on another display
    EXPECT_EQ(stored(world), PropertyValue(Dictionary{{"S1", "Mail  Room"}, {"D#2", "Clients"}}));

    names.set(" \r\n ", mail, "D");
    EXPECT_EQ(names.nickname(mail, "D"), std::nullopt);
    EXPECT_EQ(stored(world), PropertyValue(Dictionary{{"D#2", "Clients"}}));
}

TEST(DesktopNamesTest, AStoredValueOfAnotherTypeReadsAsNoneAndIsReplacedByTheNextWrite) {
    const char* worlds[] = {
        R"({"defaults": {"desktopNames": 3}})",
        R"({"defaults": {"desktopNames": ["Mail"]}})",
        R"({"defaults": {"desktopNames": {"S1": "Mail", "S2": 2}}})",
    };
    for (const char* json : worlds) {
        SimulatedWorld world(json);
        DesktopNames names(world.platform().defaults);
        EXPECT_EQ(names.nickname(desktop("S1", 1), "D"), std::nullopt) << json;
        EXPECT_TRUE(names.all().empty()) << json;

        names.set("Personal", desktop("S3", 3), "D");
        EXPECT_EQ(stored(world), PropertyValue(Dictionary{{"S3", "Personal"}})) << json;
    }
}

TEST(DesktopNamesTest, TrimsUnicodeWhitespaceButNothingElse) {
    EXPECT_EQ(trimmedWhitespaceAndNewlines(""), "");
    EXPECT_EQ(trimmedWhitespaceAndNewlines("\xE3\x80\x80" "仕事\xE3\x80\x80"), "仕事"); // ideographic spaces
    EXPECT_EQ(trimmedWhitespaceAndNewlines("\xE2\x80\x8B" "x"), "\xE2\x80\x8B" "x");     // zero-width space stays
    EXPECT_EQ(trimmedWhitespaceAndNewlines(" \xC3\xA9 "), "\xC3\xA9");
    EXPECT_EQ(trimmedWhitespaceAndNewlines("x \xFF"), "x \xFF"); // a stray byte is not white space
}

} // namespace
} // namespace qw
