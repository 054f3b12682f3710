#include "TestFolders.h"

#include "upload/KnownHosts.h"

#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::readBytes;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

TEST(KnownHosts, RemembersAKeyPerServerAndKindAndKeepsLinesItCannotRead) {
    TemporaryFolder folder;
    const KnownHosts known(folder / "config/veskaro/known_hosts");
    EXPECT_EQ(known.check("ssh", "example.com:22", "SHA256:one"), HostKeyVerdict::Unknown);
    known.remember("ssh", "example.com:22", "SHA256:one");
    EXPECT_EQ(known.check("ssh", "example.com:22", "SHA256:one"), HostKeyVerdict::Known);
    EXPECT_EQ(known.check("ssh", "example.com:2222", "SHA256:one"), HostKeyVerdict::Unknown);
    EXPECT_EQ(known.check("tls", "example.com:22", "SHA256:one"), HostKeyVerdict::Unknown);
    EXPECT_EQ(known.check("ssh", "example.com:22", "SHA256:two"), HostKeyVerdict::Changed);

    writeBytes(known.path(), readBytes(known.path()) + "# a note of the user's\r\n");
    known.remember("tls", "[::1]:21", "SHA256:three");
    EXPECT_EQ(readBytes(known.path()),
              "ssh example.com:22 SHA256:one\r\n# a note of the user's\r\ntls [::1]:21 SHA256:three\r\n");
    EXPECT_EQ(known.remembered("tls", "[::1]:21"), "SHA256:three");
    EXPECT_EQ(known.remembered("ssh", "[::1]:21"), std::nullopt);
}

TEST(KnownHosts, NeverReplacesAKeyThatChanged) {
    TemporaryFolder folder;
    const KnownHosts known(folder / "known_hosts");
    known.remember("ssh", "example.com:22", "SHA256:one");
    try {
        known.remember("ssh", "example.com:22", "SHA256:two");
        FAIL() << "a changed key replaced the known one";
    } catch (const VeskaroError& error) {
        EXPECT_NE(std::string(error.what()).find("it is not replaced"), std::string::npos) << error.what();
    }
    EXPECT_EQ(readBytes(known.path()), "ssh example.com:22 SHA256:one\r\n");
}

TEST(KnownHosts, NamesServersWithTheirPortsAndIpv6InBrackets) {
    EXPECT_EQ(serverName("example.com", 22), "example.com:22");
    EXPECT_EQ(serverName("::1", 2222), "[::1]:2222");
}
