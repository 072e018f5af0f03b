// The settings file's name from the program's path.
#include "app/SettingsPath.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(SettingsPath, ExtensionIsReplacedByIni) {
    EXPECT_EQ(SettingsPathFor("C:\\Apps\\mixer.exe"), "C:\\Apps\\mixer.ini");
    EXPECT_EQ(SettingsPathFor("C:\\Apps\\varnel.EXE"), "C:\\Apps\\varnel.ini");
    EXPECT_EQ(SettingsPathFor("C:\\Apps\\mixer.tool.exe"), "C:\\Apps\\mixer.tool.ini");
}

TEST(SettingsPath, NameWithoutExtensionKeepsAllOfIt) {
    EXPECT_EQ(SettingsPathFor("C:\\Apps\\mixer"), "C:\\Apps\\mixer.ini");
    EXPECT_EQ(SettingsPathFor("C:\\My.Apps\\mixer"), "C:\\My.Apps\\mixer.ini");
    EXPECT_EQ(SettingsPathFor("C:/My.Apps/mixer"), "C:/My.Apps/mixer.ini");
    EXPECT_EQ(SettingsPathFor("a"), "a.ini");
}

}  // namespace
}  // namespace varnel
