// The desktop's scale from GDK_SCALE and the X resources' Xft.dpi.
#include <gtest/gtest.h>

#include "platform/desktop_scale.h"

namespace yv {
namespace {

TEST(DesktopScale, XftDpiIsFoundAmongTheOtherResources) {
    EXPECT_EQ(xftDpiOf("Xcursor.size:\t24\nXft.dpi:\t192\nXft.antialias:\t1\n"), 192.0);
    EXPECT_EQ(xftDpiOf("Xft.dpi: 144"), 144.0);  // no newline at the end, spaces
    EXPECT_EQ(xftDpiOf("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192.0);  // the last one counts
    EXPECT_FALSE(xftDpiOf("Xft.dpix:\t192\nXcursor.size: 24\n"));
    EXPECT_FALSE(xftDpiOf("Xft.dpi:\tlarge\n"));
    EXPECT_FALSE(xftDpiOf(""));
}

TEST(DesktopScale, DpiRoundsUpFromThreeQuartersOfAStep) {
    auto at = [](const char* res) { return desktopScaleFrom(nullptr, std::string_view(res)); };
    EXPECT_EQ(at("Xft.dpi:\t96\n"), 1);
    EXPECT_EQ(at("Xft.dpi:\t120\n"), 1);
    EXPECT_EQ(at("Xft.dpi:\t144\n"), 1);  // 1.5: doubled menus would crowd such a screen
    EXPECT_EQ(at("Xft.dpi:\t168\n"), 2);
    EXPECT_EQ(at("Xft.dpi:\t192\n"), 2);
    EXPECT_EQ(at("Xft.dpi:\t288\n"), 3);
    EXPECT_EQ(at("Xft.dpi:\t48\n"), 1);     // never below 1
    EXPECT_EQ(at("Xft.dpi:\t2000\n"), 4);   // nor absurdly large
    EXPECT_EQ(desktopScaleFrom(nullptr, std::nullopt), 1);
    EXPECT_EQ(at("Xcursor.size: 24\n"), 1);
}

TEST(DesktopScale, GdkScaleWinsWhenItIsAWholeNumber) {
    EXPECT_EQ(desktopScaleFrom("2", std::string_view("Xft.dpi:\t96\n")), 2);
    EXPECT_EQ(desktopScaleFrom("1", std::string_view("Xft.dpi:\t192\n")), 1);
    // Not a usable scale: the resources decide.
    EXPECT_EQ(desktopScaleFrom("1.5", std::string_view("Xft.dpi:\t192\n")), 2);
    EXPECT_EQ(desktopScaleFrom("0", std::string_view("Xft.dpi:\t192\n")), 2);
    EXPECT_EQ(desktopScaleFrom("", std::nullopt), 1);
    EXPECT_EQ(desktopScaleFrom("abc", std::nullopt), 1);
}

}  // namespace
}  // namespace yv
