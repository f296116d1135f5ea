// Tests of the documents folder lookup that places the configuration file.
#include "support/shellfolder.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace zarvo;

TEST(ShellFolder, DocumentsFolderWhenItExistsElseHome) {
    zarvotest::TTempDir Home;
    const std::string OldHome = std::getenv("HOME");
    ::setenv("HOME", Home.Path().c_str(), 1);
    // No documents folder yet: the home folder.
    EXPECT_EQ(GetSpecialFolder(CSIDL_PERSONAL), Home.Path());
    ::mkdir(Home.File("Documents").c_str(), 0700);
    EXPECT_EQ(GetSpecialFolder(CSIDL_PERSONAL), Home.File("Documents"));
    // A documents folder named in the XDG user folders.
    ::mkdir(Home.File(".config").c_str(), 0700);
    ::mkdir(Home.File("Dokumente").c_str(), 0700);
    zarvotest::WriteFile(Home.File(".config/user-dirs.dirs"),
                         "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    const std::string OldConfig = std::getenv("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", Home.File(".config").c_str(), 1);
    EXPECT_EQ(GetSpecialFolder(CSIDL_PERSONAL), Home.File("Dokumente"));
    // Other folders are not known.
    EXPECT_EQ(GetSpecialFolder(7), "");
    ::setenv("XDG_CONFIG_HOME", OldConfig.c_str(), 1);
    ::setenv("HOME", OldHome.c_str(), 1);
}
