#pragma once

#include "TemplateFixtures.h"
#include "TestOffice.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

// The one office the tests of a run share, with the fixture templates. Under ctest a fixture
// test starts it once (SLIDEVANE3_TEST_OFFICE names its folder) and every test process attaches;
// run directly, the test program starts its own and stops it at the end.
//
// Owns: the attachment (or the office it started) and a private $TMPDIR for the code under test.
namespace slidevane::testing {

class SharedOffice : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    static TestOffice& Office();
    static const TemplateFixtures& Templates();
    // The $TMPDIR of this test process, where the adapter's temporary files go.
    static const std::filesystem::path& ClientTemp();

    // For the fixture program: start an office in `folder` and make the templates there.
    static void StartInFolder(const std::filesystem::path& folder);
    static void StopInFolder(const std::filesystem::path& folder);

private:
    std::filesystem::path ownFolder_;
};

} // namespace slidevane::testing
