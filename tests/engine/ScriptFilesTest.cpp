#include <gtest/gtest.h>

#include "script/ScriptFiles.h"

using namespace morvane;

// Windows names files in any case: MAIN.SCM is the main script too.
TEST(IsMainScriptPath, TheExtensionOfTheFileNameInAnyCase) {
    EXPECT_TRUE(IsMainScriptPath("main.scm"));
    EXPECT_TRUE(IsMainScriptPath("/games/sa/data/script/main.scm"));
    EXPECT_TRUE(IsMainScriptPath("a.b.scm"));
    EXPECT_TRUE(IsMainScriptPath("MAIN.SCM"));
    EXPECT_TRUE(IsMainScriptPath("main.Scm"));
    EXPECT_FALSE(IsMainScriptPath("x.cs"));
    EXPECT_FALSE(IsMainScriptPath("x.cm"));
    EXPECT_FALSE(IsMainScriptPath("main.scm.bak"));
    EXPECT_FALSE(IsMainScriptPath("folder.scm/main"));
    EXPECT_FALSE(IsMainScriptPath("scm"));
    EXPECT_FALSE(IsMainScriptPath(".scm"));
    EXPECT_FALSE(IsMainScriptPath(""));
}

TEST(IsScriptFileName, KnowsScriptsByTheirExtensionInAnyCase) {
    for (const char* name : {"a.cs", "b.CS", "c.cs3", "d.Cs4", "e.cm", "main.scm", "MAIN.SCM", "dir.x/f.cs"})
        EXPECT_TRUE(IsScriptFileName(name)) << name;
    for (const char* name :
         {"a.csx", "a.cs5", "a.c", "cs", "scm", ".cs", "a.cs.bak", "a.ini", "a.cs/", "dir.cs/readme"})
        EXPECT_FALSE(IsScriptFileName(name)) << name;
}

TEST(ScriptExtensionsText, NamesEveryExtensionInASentence) {
    EXPECT_EQ(ScriptExtensionsText(), ".cs, .cs3, .cs4, .cm, .scm, .csa or .csi");
}
