#include "upload/FtpFolder.h"

#include <gtest/gtest.h>

using namespace veskaro;

TEST(FtpListing, ReadsMlsdFactsAndNamesWithBlanks) {
    const std::string text = "type=cdir;modify=20261209102510;perm=flcdmpe; .\r\n"
                             "type=pdir;perm=flcdmpe; ..\r\n"
                             "modify=20261209102510;perm=adfrw;size=13989;type=file;UNIX.mode=0644; slider0.jpg\r\n"
                             "Type=File;Size=12; Gr\xc3\xbc\xc3\x9f"
                             "e 2.gif\r\n"
                             "type=dir;sizd=4096;perm=flcdmpe; pictures\r\n"
                             "no facts here\r\n"
                             "size=5;type=file;\r\n";
    EXPECT_EQ(parseMlsdListing(text), (std::vector<RemoteEntry>{{"slider0.jpg", 13989, true},
                                                                {"Gr\xc3\xbc\xc3\x9f"
                                                                 "e 2.gif",
                                                                 12, true},
                                                                {"pictures", 0, false}}));
}

TEST(FtpListing, ReadsUnixAndDosListsWithoutTheFolderItself) {
    const std::string text = "total 12\r\n"
                             "drwxr-xr-x    2 anna     www          4096 Dec 09 10:23 .\r\n"
                             "drwxr-xr-x    3 anna     www          4096 Dec 09 10:23 ..\r\n"
                             "-rw-r--r--    1 anna     www         13989 Dec 09 10:23 slider0.jpg\n"
                             "-rw-r--r--    1 1000     1000           12 Jan  1  2025 my page.html\n"
                             "lrwxrwxrwx    1 anna     www             9 Dec 09 10:23 latest -> slider0.jpg\n"
                             "drwxr-xr-x    2 anna     www          4096 Dec 09 10:23 pictures\n"
                             "12-09-26  10:23AM                 2739 demo.html\r\n"
                             "12-09-26  10:23AM       <DIR>          old site\r\n"
                             "garbage\r\n";
    EXPECT_EQ(parseListListing(text), (std::vector<RemoteEntry>{{"slider0.jpg", 13989, true},
                                                                {"my page.html", 12, true},
                                                                {"latest", 9, false},
                                                                {"pictures", 4096, false},
                                                                {"demo.html", 2739, true},
                                                                {"old site", 0, false}}));
}
