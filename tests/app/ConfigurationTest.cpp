#include "app/Configuration.h"
#include "app/ConfigurationException.h"
#include "app/DisplayConfig.h"
#include "support/DataDirectory.h"

#include <gtest/gtest.h>

namespace {

Configuration parsed(const ScratchDirectory& dir, const std::string& text) {
    dir.write("test.cfg", text);
    Configuration configuration;
    configuration.parse((dir.path() / "test.cfg").string());
    return configuration;
}

std::string parseError(const std::string& text) {
    ScratchDirectory dir;
    try {
        parsed(dir, text);
    } catch (const ConfigurationException& error) {
        return error.what();
    }
    return "no error";
}

DisplayConfig displayConfigFrom(const ScratchDirectory& dir) {
    WorkingDirectory cwd(dir.path());
    return DisplayConfig();
}

} // namespace

TEST(Configuration, ReadsStringsWithEscapesRawTextListsAndJoins) {
    ScratchDirectory dir;
    Configuration c = parsed(dir, "# a comment = \"ignored\";\n"
                                  "plain = \"a b\";  # trailing comment\n"
                                  "escaped = \"100%% %\"sure%\"%n%tend\";\n"
                                  "raw = <%no %n escapes \"here\"%>;\n"
                                  "joined = \"ab\" + <%cd%> + \"ef\";\n"
                                  "list = [\"x\", \"y\"] + [\"z\"];\n"
                                  "empty = [];\n");
    EXPECT_EQ(c.lookupString("", "plain"), "a b");
    EXPECT_EQ(c.lookupString("", "escaped"), "100% \"sure\"\n\tend");
    EXPECT_EQ(c.lookupString("", "raw"), "no %n escapes \"here\"");
    EXPECT_EQ(c.lookupString("", "joined"), "abcdef");
    EXPECT_EQ(c.lookupList("", "list"), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_TRUE(c.lookupList("", "empty").empty());
    EXPECT_THROW(c.lookupString("", "list"), ConfigurationException);
    EXPECT_THROW(c.lookupList("", "plain"), ConfigurationException);
    EXPECT_THROW(c.lookupString("", "missing"), ConfigurationException);
}

TEST(Configuration, ScopesNestAndDottedNamesReachIntoThem) {
    ScratchDirectory dir;
    Configuration c = parsed(dir, "width = \"1\";\n"
                                  "outer { width = \"2\"; inner { width = \"3\"; } }\n"
                                  "outer.inner.height = \"4\";\n"
                                  "a.b { c = \"5\"; }\n");
    EXPECT_EQ(c.lookupInt("", "width"), 1);
    EXPECT_EQ(c.lookupInt("outer", "width"), 2);
    EXPECT_EQ(c.lookupInt("outer.inner", "width"), 3);
    EXPECT_EQ(c.lookupInt("outer.inner", "height"), 4);
    EXPECT_EQ(c.lookupInt("a.b", "c"), 5);
    EXPECT_TRUE(c.hasScope("outer.inner"));
    EXPECT_THROW(c.lookupInt("", "height"), ConfigurationException);
}

TEST(Configuration, ConditionalAssignmentOnlyFillsUnsetNamesAndIncludesAreRead) {
    ScratchDirectory dir;
    dir.write("defaults.cfg", "width ?= \"640\";\nheight ?= \"480\";\n");
    Configuration c =
        parsed(dir, "width = \"800\";\n@include \"defaults.cfg\";\nwidth = \"1024\";\n");
    EXPECT_EQ(c.lookupInt("", "width"), 1024);
    EXPECT_EQ(c.lookupInt("", "height"), 480);
}

TEST(Configuration, IntegersAllowSignAndBlanksOnly) {
    ScratchDirectory dir;
    Configuration c = parsed(dir, "a = \" 42 \"; b = \"-7\"; c = \"+3\"; d = \"12px\"; e = \"\";"
                                  "f = \"1.5\"; g = \"0x10\"; h = \"- 1\"; i = \"99999999999\";"
                                  "j = \"-2147483648\";");
    EXPECT_EQ(c.lookupInt("", "a"), 42);
    EXPECT_EQ(c.lookupInt("", "b"), -7);
    EXPECT_EQ(c.lookupInt("", "c"), 3);
    EXPECT_EQ(c.lookupInt("", "j"), -2147483648);
    for (const char* bad : {"d", "e", "f", "g", "h", "i"}) {
        EXPECT_THROW(c.lookupInt("", bad), ConfigurationException) << bad;
    }
}

TEST(Configuration, BooleansAreTrueOrFalseInAnyCase) {
    ScratchDirectory dir;
    Configuration c = parsed(dir, "a = \"TRUE\"; b = \"False\"; c = \"yes\"; d = \"1\";");
    EXPECT_TRUE(c.lookupBoolean("", "a"));
    EXPECT_FALSE(c.lookupBoolean("", "b"));
    EXPECT_THROW(c.lookupBoolean("", "c"), ConfigurationException);
    EXPECT_THROW(c.lookupBoolean("", "d"), ConfigurationException);
}

TEST(Configuration, SyntaxErrorsNameFileAndLine) {
    EXPECT_NE(parseError("a = \"1\";\n\nb = getenv(\"HOME\");\n").find("test.cfg, line 3"),
              std::string::npos);
    EXPECT_NE(parseError("a = \"1\";\n@copyFrom \"x\";\n").find("line 2"), std::string::npos);
    EXPECT_NE(parseError("a = \"1\"\nb = \"2\";\n").find("line 2"), std::string::npos);
    EXPECT_NE(parseError("a = \"unterminated;\n").find("line 1"), std::string::npos);
    EXPECT_NE(parseError("s {\n a = \"1\";\n").find("missing '}'"), std::string::npos);
    EXPECT_NE(parseError("a = \"bad %q escape\";").find("escape"), std::string::npos);
    EXPECT_NE(parseError("a = [\"x\"] + \"y\";").find("join"), std::string::npos);
    EXPECT_NE(parseError("@include \"nowhere.cfg\";").find("nowhere.cfg"), std::string::npos);
}

TEST(Configuration, IncludeCyclesStopWithAnError) {
    ScratchDirectory dir;
    dir.write("loop.cfg", "@include \"loop.cfg\";\n");
    Configuration c;
    EXPECT_THROW(c.parse((dir.path() / "loop.cfg").string()), ConfigurationException);
}

TEST(DisplayConfig, ReadsTheFourSettingsAndIgnoresTheRest) {
    ScratchDirectory dir;
    dir.write("config.cfg", "width = \"1024\";\nheight = \"768\";\nrefresh_rate = \"75\";\n"
                            "fullscreen = \"true\";\nextra = \"x\";\nsome { width = \"1\"; }\n");
    testing::internal::CaptureStderr();
    DisplayConfig config = displayConfigFrom(dir);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(config.width, 1024);
    EXPECT_EQ(config.height, 768);
    EXPECT_EQ(config.refreshRate, 75);
    EXPECT_TRUE(config.fullscreen);
}

TEST(DisplayConfig, AnUnusableFileIsReportedAndUnreadSettingsFallBack) {
    ScratchDirectory missing;
    testing::internal::CaptureStderr();
    DisplayConfig none = displayConfigFrom(missing);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Not a correct cfg file\n");
    EXPECT_EQ(none.width, 1280);
    EXPECT_EQ(none.height, 720);
    EXPECT_EQ(none.refreshRate, 60);
    EXPECT_FALSE(none.fullscreen);

    ScratchDirectory misspelt;
    misspelt.write("config.cfg", "width = \"800\";\nheight = \"600\";\nrefreshrate = \"75\";\n"
                                 "fullscreen = \"true\";\n");
    testing::internal::CaptureStderr();
    DisplayConfig partial = displayConfigFrom(misspelt);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Not a correct cfg file\n");
    EXPECT_EQ(partial.width, 800);
    EXPECT_EQ(partial.height, 600);
    EXPECT_EQ(partial.refreshRate, 60);
    EXPECT_FALSE(partial.fullscreen);
}
