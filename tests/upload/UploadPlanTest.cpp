#include "upload/UploadPlan.h"

#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

const std::string kHashA(64, 'a');
const std::string kHashB(64, 'b');

// The publish of each case: a picture and a page, each of 10 bytes with hash A.
std::vector<LocalFile> publish() {
    return {{{"slider0.jpg", "/p/slider0.jpg", false}, 10, kHashA}, {{"Demo.html", "/p/Demo.html", true}, 10, kHashA}};
}

struct PlanCase {
    const char* title;
    std::optional<std::vector<ManifestEntry>> manifest;
    std::vector<RemoteEntry> listing;
    PlanWishes wishes;
    std::vector<std::pair<std::string, PlanAction>> expected; // in plan order
};

void PrintTo(const PlanCase& example, std::ostream* out) {
    *out << example.title;
}

class Plans : public testing::TestWithParam<PlanCase> {};

const std::vector<ManifestEntry> kRecorded = {{"slider0.jpg", 10, kHashA}, {"Demo.html", 10, kHashA}};
const std::vector<RemoteEntry> kPresent = {{"slider0.jpg", 10, true}, {"Demo.html", 10, true}};

std::vector<RemoteEntry> presentWith(RemoteEntry extra) {
    std::vector<RemoteEntry> listing = kPresent;
    listing.push_back(std::move(extra));
    return listing;
}

std::vector<ManifestEntry> recordedWith(ManifestEntry extra) {
    std::vector<ManifestEntry> manifest = kRecorded;
    manifest.push_back(std::move(extra));
    return manifest;
}

} // namespace

TEST_P(Plans, UploadWhatChangedAndOnlyRemoveWhatTheManifestLists) {
    const PlanCase& example = GetParam();
    const UploadPlan plan = planUpload(publish(), example.manifest, example.listing, example.wishes);
    std::vector<std::pair<std::string, PlanAction>> actions;
    for (const PlannedFile& file : plan.files)
        actions.emplace_back(file.name, file.action);
    EXPECT_EQ(actions, example.expected);
    EXPECT_EQ(plan.manifestName, "Demo.veskaro-manifest");
}

using A = PlanAction;
INSTANTIATE_TEST_SUITE_P(
    Cases, Plans,
    testing::Values(
        PlanCase{"first upload", std::nullopt, {}, {}, {{"slider0.jpg", A::Upload}, {"Demo.html", A::Upload}}},
        PlanCase{"no manifest, files there",
                 std::nullopt,
                 kPresent,
                 {},
                 {{"slider0.jpg", A::Upload}, {"Demo.html", A::Upload}}},
        PlanCase{
            "nothing changed", kRecorded, kPresent, {}, {{"slider0.jpg", A::Unchanged}, {"Demo.html", A::Unchanged}}},
        PlanCase{"full", kRecorded, kPresent, {true, false}, {{"slider0.jpg", A::Upload}, {"Demo.html", A::Upload}}},
        PlanCase{"page hash differs",
                 std::vector<ManifestEntry>{{"slider0.jpg", 10, kHashA}, {"Demo.html", 10, kHashB}},
                 kPresent,
                 {},
                 {{"slider0.jpg", A::Unchanged}, {"Demo.html", A::Upload}}},
        PlanCase{"picture missing on the server",
                 kRecorded,
                 {{"Demo.html", 10, true}},
                 {},
                 {{"slider0.jpg", A::Upload}, {"Demo.html", A::Unchanged}}},
        PlanCase{"picture of another size there",
                 kRecorded,
                 {{"slider0.jpg", 9, true}, {"Demo.html", 10, true}},
                 {},
                 {{"slider0.jpg", A::Upload}, {"Demo.html", A::Unchanged}}},
        PlanCase{"a folder where the picture belongs",
                 kRecorded,
                 {{"slider0.jpg", 10, false}, {"Demo.html", 10, true}},
                 {},
                 {{"slider0.jpg", A::Upload}, {"Demo.html", A::Unchanged}}},
        PlanCase{"stale kept",
                 recordedWith({"slider1.gif", 5, kHashB}),
                 presentWith({"slider1.gif", 5, true}),
                 {},
                 {{"slider0.jpg", A::Unchanged}, {"Demo.html", A::Unchanged}, {"slider1.gif", A::KeepStale}}},
        PlanCase{"stale removed",
                 recordedWith({"slider1.gif", 5, kHashB}),
                 presentWith({"slider1.gif", 5, true}),
                 {false, true},
                 {{"slider0.jpg", A::Unchanged}, {"Demo.html", A::Unchanged}, {"slider1.gif", A::Remove}}},
        PlanCase{"stale already gone",
                 recordedWith({"slider1.gif", 5, kHashB}),
                 kPresent,
                 {false, true},
                 {{"slider0.jpg", A::Unchanged}, {"Demo.html", A::Unchanged}}},
        PlanCase{"user's own file never stale",
                 kRecorded,
                 presentWith({"index.html", 5, true}),
                 {false, true},
                 {{"slider0.jpg", A::Unchanged}, {"Demo.html", A::Unchanged}}}));

TEST(UploadPlan, PutsThePageLastAndFindsLeftoverTemporaries) {
    std::vector<LocalFile> local = publish();
    std::swap(local[0], local[1]);
    local.push_back({{"Slider1.css", "/p/Slider1.css", false}, 3, kHashB});
    const UploadPlan plan = planUpload(
        local, std::nullopt,
        {{"veskaro-upload-0123456789abcdef.part", 4, true}, {"veskaro-upload-0123456789abcdef.partial", 4, true}}, {});
    ASSERT_EQ(plan.files.size(), 3u);
    EXPECT_EQ(plan.files[0].name, "slider0.jpg");
    EXPECT_EQ(plan.files[1].name, "Slider1.css");
    EXPECT_EQ(plan.files[2].name, "Demo.html");
    EXPECT_TRUE(plan.files[2].isPage);
    EXPECT_EQ(plan.leftovers, std::vector<std::string>{"veskaro-upload-0123456789abcdef.part"});
    EXPECT_EQ(plan.count(PlanAction::Upload), 3u);
}

TEST(UploadPlan, RefusesAPublishWithoutAPage) {
    EXPECT_THROW(planUpload({publish()[0]}, std::nullopt, {}, {}), VeskaroError);
}

TEST(UploadPlan, KeepsStaleFilesInTheNextManifestUnlessRemoved) {
    const UploadPlan kept =
        planUpload(publish(), recordedWith({"slider1.gif", 5, kHashB}), presentWith({"slider1.gif", 5, true}), {});
    EXPECT_EQ(manifestAfter(kept),
              (std::vector<ManifestEntry>{
                  {"Demo.html", 10, kHashA}, {"slider0.jpg", 10, kHashA}, {"slider1.gif", 5, kHashB}}));
    const UploadPlan removed = planUpload(publish(), recordedWith({"slider1.gif", 5, kHashB}),
                                          presentWith({"slider1.gif", 5, true}), {false, true});
    EXPECT_EQ(manifestAfter(removed),
              (std::vector<ManifestEntry>{{"Demo.html", 10, kHashA}, {"slider0.jpg", 10, kHashA}}));
}

TEST(Manifest, ReadsBackWhatItWritesNamesWithSpacesAndUtf8Too) {
    const std::vector<ManifestEntry> entries = {{"slider0.jpg", 12345, kHashA},
                                                {"Gr\xc3\xbc\xc3\x9f"
                                                 "e 2.html",
                                                 0, kHashB}};
    const std::string text = manifestText(entries);
    EXPECT_EQ(text.substr(0, text.find('\n')), "veskaro-manifest 1");
    EXPECT_EQ(parseManifest(text), entries);
}

TEST(Manifest, IsNoManifestWithoutItsFirstLineAndPassesOverBadLines) {
    EXPECT_EQ(parseManifest(""), std::nullopt);
    EXPECT_EQ(parseManifest("<html>\n"), std::nullopt);
    const std::string text = "veskaro-manifest 1\n" + kHashA + " 10 a.jpg\n" + kHashA + " ten b.jpg\n" +
                             kHashA.substr(1) + " 10 c.jpg\n" + kHashA + " 10 \n" + kHashA + " 10 d/e.jpg\n" +
                             std::string(64, 'A') + " 10 f.jpg\n";
    EXPECT_EQ(parseManifest(text), (std::vector<ManifestEntry>{{"a.jpg", 10, kHashA}}));
}

TEST(Manifest, IsNamedAfterThePage) {
    EXPECT_EQ(manifestNameFor("Demo.html"), "Demo.veskaro-manifest");
    EXPECT_EQ(manifestNameFor("a.b.html"), "a.b.veskaro-manifest");
}

TEST(UploadTemporaryName, HasTheProgramsOwnPatternAndOnlyThat) {
    const std::string name = uploadTemporaryName();
    EXPECT_TRUE(isUploadTemporaryName(name)) << name;
    EXPECT_NE(uploadTemporaryName(), name);
    for (const char* other : {"veskaro-upload-0123456789abcde.part", "veskaro-upload-0123456789ABCDEF.part",
                              "veskaro-upload-0123456789abcdef.tmp", "slider0.jpg.0123456789abcdef.tmp",
                              "my-veskaro-upload-0123456789abcdef.part", "veskaro-upload-0123456789abcdefg.part"})
        EXPECT_FALSE(isUploadTemporaryName(other)) << other;
}
