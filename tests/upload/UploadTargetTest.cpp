#include "upload/UploadTarget.h"
#include "CaseNames.h"
#include "upload/SecretStore.h"

#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

struct UrlCase {
    std::string url;
    UploadTarget target;
};

void PrintTo(const UrlCase& c, std::ostream* out) {
    *out << veskaro::test::caseName(c.url);
}

UploadTarget targetOf(UploadProtocol protocol, std::string host, int port, std::string user, std::string folder) {
    UploadTarget target;
    target.protocol = protocol;
    target.host = std::move(host);
    target.port = port;
    target.user = std::move(user);
    target.folder = std::move(folder);
    return target;
}

class UploadUrls : public testing::TestWithParam<UrlCase> {};

struct BadUrl {
    std::string url;
    std::string words;
};

void PrintTo(const BadUrl& c, std::ostream* out) {
    *out << veskaro::test::caseName(c.url);
}

class BadUploadUrls : public testing::TestWithParam<BadUrl> {};

} // namespace

TEST_P(UploadUrls, ReadTheirPartsAndWriteThemBack) {
    const UrlCase& example = GetParam();
    const UploadTarget target = parseUploadUrl(example.url);
    EXPECT_EQ(target, example.target);
    EXPECT_EQ(parseUploadUrl(uploadUrl(target)), target) << uploadUrl(target);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, UploadUrls,
    testing::Values(UrlCase{"sftp://anna@example.com/www/slider/",
                            targetOf(UploadProtocol::Sftp, "example.com", 0, "anna", "www/slider")},
                    UrlCase{"sftp://anna@example.com:2222/www",
                            targetOf(UploadProtocol::Sftp, "example.com", 2222, "anna", "www")},
                    UrlCase{"ftps://web.example.org/", targetOf(UploadProtocol::Ftps, "web.example.org", 0, "", "")},
                    UrlCase{"ftp://bob@10.0.0.5:2121", targetOf(UploadProtocol::Ftp, "10.0.0.5", 2121, "bob", "")},
                    UrlCase{"SFTP://anna@example.com//var/www/html/",
                            targetOf(UploadProtocol::Sftp, "example.com", 0, "anna", "/var/www/html")},
                    UrlCase{"sftp://[::1]:2200/site/", targetOf(UploadProtocol::Sftp, "::1", 2200, "", "site")},
                    UrlCase{"ftp://j%C3%BCrgen%40home@example.com/Bilder%20%C3%BC/",
                            targetOf(UploadProtocol::Ftp, "example.com", 0, "j\xc3\xbcrgen@home", "Bilder \xc3\xbc")}));

TEST_P(BadUploadUrls, AreRefusedSayingWhy) {
    try {
        parseUploadUrl(GetParam().url);
        FAIL() << GetParam().url << " was taken";
    } catch (const VeskaroError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().words), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadUploadUrls,
    testing::Values(BadUrl{"example.com/www", "is no URL"}, BadUrl{"http://example.com/", "none of sftp, ftps and ftp"},
                    BadUrl{"sftp://anna@/www", "names no host"}, BadUrl{"sftp://example.com:0/", "port"},
                    BadUrl{"sftp://example.com:70000/", "port"}, BadUrl{"sftp://example.com:22x/", "port"},
                    BadUrl{"sftp://[::1/", "does not close"}, BadUrl{"ftp://example.com/a%2/", "two hex digits"},
                    BadUrl{"ftp://example.com/a%0Ab/", "control character"}, BadUrl{"ftp://example.com/a?b", "query"}));

TEST(UploadOptions, HoldOnlyWhatDiffersFromTheDefaults) {
    EXPECT_TRUE(uploadOptionsOf(UploadTarget{}).empty());
    UploadTarget target = targetOf(UploadProtocol::Sftp, "example.com", 0, "anna", "www");
    EXPECT_EQ(uploadOptionsOf(target),
              (std::map<std::string, std::string>{
                  {"Upload.Folder", "www"}, {"Upload.Host", "example.com"}, {"Upload.User", "anna"}}));
    target.protocol = UploadProtocol::Ftps;
    target.port = 990;
    target.auth = UploadAuth::Key;
    target.keyFile = "/home/anna/.ssh/id_ed25519";
    const std::map<std::string, std::string> options = uploadOptionsOf(target);
    EXPECT_EQ(options.at("Upload.Protocol"), "ftps");
    EXPECT_EQ(options.at("Upload.Port"), "990");
    EXPECT_EQ(options.at("Upload.Auth"), "key");
    EXPECT_EQ(options.at("Upload.KeyFile"), "/home/anna/.ssh/id_ed25519");
    EXPECT_EQ(uploadTargetFromOptions(options), target);
}

TEST(UploadOptions, ReadAmongOtherOptionsAndTellWhetherATargetIsThere) {
    std::map<std::string, std::string> options = {{"Pictures.WebP", "1"}};
    EXPECT_FALSE(hasUploadTarget(options));
    EXPECT_EQ(uploadTargetFromOptions(options), UploadTarget{});
    options["Upload.Host"] = "example.com";
    options["Upload.Auth"] = "agent";
    EXPECT_TRUE(hasUploadTarget(options));
    EXPECT_EQ(uploadTargetFromOptions(options).auth, UploadAuth::Agent);
}

TEST(UploadOptions, NameAValueTheyCannotTake) {
    for (const auto& [name, value] : std::map<std::string, std::string>{
             {"Upload.Protocol", "http"}, {"Upload.Port", "port"}, {"Upload.Auth", "token"}}) {
        try {
            uploadTargetFromOptions({{name, value}});
            ADD_FAILURE() << name << "=" << value << " was taken";
        } catch (const VeskaroError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(name, 0), 0u) << error.what();
        }
    }
}

TEST(UploadTarget, GivesEachProtocolItsPortAndOneSecretNamePerLogin) {
    UploadTarget target = targetOf(UploadProtocol::Sftp, "example.com", 0, "anna", "www");
    EXPECT_EQ(effectivePort(target), 22);
    EXPECT_EQ(secretTargetOf(target), "sftp://anna@example.com:22");
    target.folder = "other";
    EXPECT_EQ(secretTargetOf(target), "sftp://anna@example.com:22");
    target.protocol = UploadProtocol::Ftps;
    EXPECT_EQ(effectivePort(target), 21);
    MemorySecretStore store;
    store.put(secretTargetOf(target), "pw");
    EXPECT_EQ(store.get("ftps://anna@example.com:21"), "pw");
    store.forget(secretTargetOf(target));
    EXPECT_EQ(store.get("ftps://anna@example.com:21"), std::nullopt);
}
