#include "platform/FileUrl.h"

#include <gtest/gtest.h>

using namespace veskaro;

TEST(FileUrlTest, WindowsFormTurnsDelimitersAndDriveColonsAndEscapesNothing) {
    EXPECT_EQ(windowsPathToFileUrl("D:\\web\\index.html"), "file:///D|/web/index.html");
    EXPECT_EQ(windowsPathToFileUrl("D:\\site\\a b.htm"), "file:///D|/site/a b.htm");
    EXPECT_EQ(windowsPathToFileUrl("E:\\Program Files\\X\\help\\getting_started.htm"),
              "file:///E|/Program Files/X/help/getting_started.htm");
    EXPECT_EQ(windowsPathToFileUrl("C:\\50%#x\\ä.htm"), "file:///C|/50%#x/ä.htm");
}

TEST(FileUrlTest, StandardFormEncodesWhatAnAddressPathCannotHold) {
    EXPECT_EQ(posixPathToFileUrl("/home/ann/site/index.html"), "file:///home/ann/site/index.html");
    EXPECT_EQ(posixPathToFileUrl("/site/a b.htm"), "file:///site/a%20b.htm");
    EXPECT_EQ(posixPathToFileUrl("/x/50%#1?.htm"), "file:///x/50%25%231%3F.htm");
    EXPECT_EQ(posixPathToFileUrl("/x/\xC3\xA4\\\"<>.htm"), "file:///x/%C3%A4%5C%22%3C%3E.htm");
    EXPECT_EQ(posixPathToFileUrl("/x/(1)+a,b;c=d@e:f~g_h-i.htm"), "file:///x/(1)+a,b;c=d@e:f~g_h-i.htm");
}

#ifndef _WIN32
TEST(FileUrlTest, RelativePathsBecomeAbsoluteAddresses) {
    const std::string address = PathToFileUrl("page one.htm");
    EXPECT_EQ(address.rfind("file:///", 0), 0u) << address;
    EXPECT_EQ(address.substr(address.size() - 15), "/page%20one.htm");
}
#endif
