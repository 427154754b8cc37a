#include "SharedOffice.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace slidevane::testing {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<TestOffice> office;
TemplateFixtures templates;
fs::path clientTemp;

fs::path StateFile(const fs::path& folder) {
    return folder / "state";
}

} // namespace

void SharedOffice::StartInFolder(const fs::path& folder) {
    fs::remove_all(folder);
    auto started = TestOffice::Start(folder);
    TemplateFixtures::Make(started->Connection(), folder / "templates");
    started->WriteState(StateFile(folder));
    started->Detach();
}

void SharedOffice::StopInFolder(const fs::path& folder) {
    auto attached = TestOffice::Attach(StateFile(folder));
    std::string const pipe = attached->PipeName();
    pid_t const group = attached->Pid();
    attached.reset();
    TestOffice::StopOffice(pipe, group, false);
}

void SharedOffice::SetUp() {
    fs::path folder;
    if (char const* shared = std::getenv("SLIDEVANE3_TEST_OFFICE");
        shared != nullptr && fs::exists(StateFile(shared))) {
        folder = shared;
        office = TestOffice::Attach(StateFile(folder));
        templates = TemplateFixtures::In(folder / "templates");
    } else {
        char const* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/slidevane3-uno-XXXXXX";
        folder = ownFolder_ = mkdtemp(pattern.data());
        office = TestOffice::Start(folder);
        templates = TemplateFixtures::Make(office->Connection(), folder / "templates");
    }
    clientTemp = folder / ("client-" + std::to_string(getpid()));
    fs::remove_all(clientTemp);
    fs::create_directories(clientTemp);
    setenv("TMPDIR", clientTemp.c_str(), 1);
}

void SharedOffice::TearDown() {
    office.reset();
    fs::remove_all(clientTemp);
    if (!ownFolder_.empty()) {
        fs::remove_all(ownFolder_);
    }
}

TestOffice& SharedOffice::Office() {
    return *office;
}
const TemplateFixtures& SharedOffice::Templates() {
    return templates;
}
const fs::path& SharedOffice::ClientTemp() {
    return clientTemp;
}

} // namespace slidevane::testing
