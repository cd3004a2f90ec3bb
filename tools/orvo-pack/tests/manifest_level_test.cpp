#include "manifest_level.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

TEST(ManifestLevel, AsksForAdministratorWhereverTheLevelIsWritten) {
    struct Case {
        const char* manifest;
        const char* expected;
    };
    const Case cases[] = {
        {R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
         R"(<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>)"},
        {R"(<requestedExecutionLevel uiAccess='false' level = 'highestAvailable'/>)",
         R"(<requestedExecutionLevel uiAccess='false' level = 'requireAdministrator'/>)"},
        {"<v3:requestedExecutionLevel\n  level=\"asInvoker\"></v3:requestedExecutionLevel>",
         "<v3:requestedExecutionLevel\n  level=\"requireAdministrator\"></v3:requestedExecutionLevel>"},
        // A comment naming the element comes first; the element itself is changed.
        {R"(<!-- requestedExecutionLevel --><requestedExecutionLevel level="asInvoker"/>)",
         R"(<!-- requestedExecutionLevel --><requestedExecutionLevel level="requireAdministrator"/>)"},
    };
    for (const Case& c : cases) EXPECT_EQ(WithAdministratorLevel(c.manifest), c.expected) << c.manifest;
}

TEST(ManifestLevel, RefusesAManifestWithoutALevel) {
    for (const char* manifest : {"<assembly/>", "<requestedExecutionLevel uiAccess=\"false\"/>",
                                 "<requestedExecutionLevels level=\"asInvoker\"/>", "<requestedExecutionLevel level="}) {
        EXPECT_THROW(WithAdministratorLevel(manifest), PackError) << manifest;
    }
}

// The element named over and over with no tag anywhere: looked at once each, not
// searched back from every one.
TEST(ManifestLevel, SearchesALongManifestOnce) {
    std::string manifest;
    for (int i = 0; i < 40000; ++i) manifest += "requestedExecutionLevel ";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(WithAdministratorLevel(manifest), PackError);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("[ timing   ] a manifest of %zu bytes: %lld ms\n", manifest.size(), static_cast<long long>(took.count()));
}

TEST(ManifestLevel, ChangesTheLauncherManifestOnly) {
    std::vector<ResourceLeaf> leaves = test::LauncherResources();
    RequireAdministrator(leaves);
    for (const ResourceLeaf& leaf : leaves) {
        if (IsResource(leaf, kResourceManifest)) {
            EXPECT_NE(test::TextOf(leaf.data).find("level=\"requireAdministrator\""), std::string::npos);
        }
    }
    std::vector<ResourceLeaf> none;
    EXPECT_THROW(RequireAdministrator(none), PackError);
}

}  // namespace
}  // namespace orvo::pack
