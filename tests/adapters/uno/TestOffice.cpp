#include "TestOffice.h"

#include "TemplateLoader.h"
#include "UnoValues.h"

#include <atomic>
#include <chrono>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <fstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace slidevane::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string TestOffice::Url(const fs::path& path) {
    return "file://" + path.string();
}

std::string TestOffice::ProfileOption(const fs::path& profile) {
    return "-env:UserInstallation=" + Url(profile);
}

std::vector<std::string> TestOffice::LauncherCommand(const fs::path& profile,
                                                     const fs::path& pidFile) {
    return {"/bin/sh",
            "-c",
            "echo $$ > '" + pidFile.string() + "' && exec '" + SLIDEVANE3_OFFICE_PROGRAM +
                "/soffice' \"$@\"",
            "sh",
            ProfileOption(profile),
            "--headless",
            "--nolockcheck"};
}

pid_t TestOffice::ReadPid(const fs::path& pidFile) {
    // A failed read stores 0, which as a process group would be the test's own: only an id
    // that can be an office's is returned.
    long pid = 0;
    std::ifstream(pidFile) >> pid;
    return pid > 1 ? static_cast<pid_t>(pid) : -1;
}

std::unique_ptr<TestOffice> TestOffice::Start(const fs::path& workFolder,
                                              const std::string& pipeName) {
    static std::atomic<int> counter{0};
    std::unique_ptr<TestOffice> office(new TestOffice);
    office->workFolder_ = fs::absolute(workFolder);
    office->pipeName_ = !pipeName.empty() ? pipeName
                                          : "slidevane3_test_" + std::to_string(getpid()) + "_" +
                                                std::to_string(counter++);
    office->process_ = std::make_unique<PrivateOffice>(
        PrivateOffice::Settings{office->workFolder_, office->pipeName_, {}});
    office->profile_ = office->process_->Profile();
    office->connection_ = office->process_->Connect(90s, 120s);
    office->pid_ = office->process_->Pid();
    return office;
}

std::unique_ptr<TestOffice> TestOffice::Attach(const fs::path& stateFile) {
    std::ifstream in(stateFile);
    std::unique_ptr<TestOffice> office(new TestOffice);
    std::string profile;
    std::string work;
    in >> office->pipeName_ >> office->pid_ >> profile >> work;
    if (!in) {
        throw std::runtime_error("unreadable office state " + stateFile.string());
    }
    office->profile_ = profile;
    office->workFolder_ = work;
    office->owned_ = false;
    office->connection_ = OfficeConnection::TryConnect(office->pipeName_, 30s, 120s);
    if (!office->connection_) {
        throw std::runtime_error("no test office on pipe " + office->pipeName_);
    }
    return office;
}

std::vector<css::uno::Reference<css::lang::XComponent>> TestOffice::Documents() {
    std::vector<css::uno::Reference<css::lang::XComponent>> result;
    connection_->Call("getComponents", [&] {
        css::uno::Reference<css::container::XEnumeration> const all =
            connection_->Desktop()->getComponents()->createEnumeration();
        while (all->hasMoreElements()) {
            result.emplace_back(all->nextElement(), css::uno::UNO_QUERY);
        }
    });
    return result;
}

void TestOffice::CloseDocuments() {
    for (const auto& document : Documents()) {
        connection_->Call("close", [&] { TemplateLoader::Close(document); });
    }
}

void TestOffice::Reconnect() {
    connection_ = OfficeConnection::TryConnect(pipeName_, 30s, 120s);
    if (!connection_) {
        throw std::runtime_error("the test office no longer listens on " + pipeName_);
    }
}

void TestOffice::WriteState(const fs::path& stateFile) const {
    std::ofstream(stateFile) << pipeName_ << '\n'
                             << pid_ << '\n'
                             << profile_.string() << '\n'
                             << workFolder_.string() << '\n';
}

TestOffice::~TestOffice() {
    if (owned_) {
        Stop();
    }
}

void TestOffice::Stop() {
    connection_.reset();
    if (process_) {
        process_->Stop();
    } else if (pid_ > 0) {
        StopOffice(pipeName_, pid_, false);
    }
    pid_ = -1;
}

void TestOffice::StopOffice(const std::string& pipeName, pid_t group, bool reap) {
    PrivateOffice::StopOffice(pipeName, group, reap);
}

} // namespace slidevane::testing
