#include <gtest/gtest.h>

#include "script/MainScript.h"

using namespace morvane;

TEST(IsMainScriptPath, OnlyTheLowerCaseExtensionOfTheFileName) {
    EXPECT_TRUE(IsMainScriptPath("main.scm"));
    EXPECT_TRUE(IsMainScriptPath("/games/sa/data/script/main.scm"));
    EXPECT_TRUE(IsMainScriptPath("a.b.scm"));
    EXPECT_FALSE(IsMainScriptPath("MAIN.SCM"));
    EXPECT_FALSE(IsMainScriptPath("main.Scm"));
    EXPECT_FALSE(IsMainScriptPath("x.cs"));
    EXPECT_FALSE(IsMainScriptPath("x.cm"));
    EXPECT_FALSE(IsMainScriptPath("main.scm.bak"));
    EXPECT_FALSE(IsMainScriptPath("folder.scm/main"));
    EXPECT_FALSE(IsMainScriptPath("scm"));
    EXPECT_FALSE(IsMainScriptPath(".scm"));
    EXPECT_FALSE(IsMainScriptPath(""));
}
