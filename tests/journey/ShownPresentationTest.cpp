// The window a double-click shows, on a real X display against the session user's office: it
// must come up laid out as the office lays out a document it opens itself, with its slide pane
// and slide view, not bare and laid out again a moment later.
#include "SharedOffice.h"
#include "TemplateLoader.h"
#include "UnoApplication.h"
#include "UnoAutomationRuntime.h"
#include "UnoPresentation.h"
#include "UnoValues.h"
#include "UserProgram.h"
#include "UserSession.h"

#include <algorithm>
#include <com/sun/star/drawing/framework/XConfiguration.hpp>
#include <com/sun/star/drawing/framework/XConfigurationController.hpp>
#include <com/sun/star/drawing/framework/XControllerManager.hpp>
#include <com/sun/star/drawing/framework/XResourceId.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using slidevane::testing::SharedOffice;
using namespace std::chrono_literals;

// The path as the catalogue hands it over.
std::string CataloguePath(const fs::path& file) {
    std::string path = file.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The parts of the presentation's window that the office has made: panes and views. The office
// makes them from requests it queues for its own loop, and the parts it could not make then are
// retried on a timer, a tenth of a second and more later. So the parts are read once the queue
// is empty: what is missing then did not come with the window.
std::vector<std::string> WindowParts(OfficeConnection& office,
                                     const Reference<css::frame::XModel>& document) {
    Reference<css::drawing::framework::XConfigurationController> configuration;
    office.Call("window parts", [&] {
        configuration = Reference<css::drawing::framework::XControllerManager>(
                            document->getCurrentController(), UNO_QUERY_THROW)
                            ->getConfigurationController();
    });
    bool pending = true;
    for (int i = 0; i < 500 && pending; ++i) {
        office.Call("pending", [&] { pending = configuration->hasPendingRequests(); });
        if (pending) {
            std::this_thread::sleep_for(10ms);
        }
    }
    std::vector<std::string> parts;
    office.Call("window parts", [&] {
        for (const auto& id : configuration->getCurrentConfiguration()->getResources(
                 nullptr, "", css::drawing::framework::AnchorBindingMode_INDIRECT)) {
            parts.push_back(uno::FromUno(id->getResourceURL()));
        }
    });
    return parts;
}

TEST(ShownPresentation, ComesUpWithItsSlidePaneOnARealDisplay) {
    if (!XvfbDisplay::Available()) {
        GTEST_SKIP() << "Xvfb, xdotool or ImageMagick's import is not installed";
    }
    UserSession session;
    ASSERT_TRUE(session.Started());
    // The user's office in the session, listening where the program looks for it.
    UserProgram launcher({"soffice", "--accept=pipe,name=" + session.OfficePipe() + ";urp;",
                          "--nologo", "--nodefault", "--norestore"},
                         session.Environment());
    std::shared_ptr<OfficeConnection> office;
    ASSERT_TRUE(
        XvfbDisplay::WaitFor([&] { return (office = session.Office()) != nullptr; }, 120 * 1000))
        << "the session's office did not come up: " << launcher.Errors();

    UnoAutomationRuntime::Settings settings = UnoAutomationRuntime::DefaultSettings();
    settings.pipeName = session.OfficePipe();
    settings.launcher = {"/bin/false"};
    UnoAutomationRuntime runtime(settings);
    for (const fs::path& file :
         {SharedOffice::Templates().odfTemplate, SharedOffice::Templates().powerPoint97,
          SharedOffice::Templates().powerPoint2007}) {
        SCOPED_TRACE(file.filename().string());
        auto application = runtime.GetObject("", "Powerpoint.Application.9");
        auto presentation = application->Presentations()->Add(msoTrue);
        presentation->ApplyTemplate(CataloguePath(file));
        application->SetVisible(msoTrue);
        Reference<css::frame::XModel> const document(
            dynamic_cast<UnoPresentation&>(*presentation).Document(), UNO_QUERY_THROW);
        OfficeConnection& link = *dynamic_cast<UnoApplication&>(*application).Office();
        std::vector<std::string> const parts = WindowParts(link, document);
        for (const char* part :
             {"private:resource/pane/LeftImpressPane", "private:resource/view/SlideSorter",
              "private:resource/view/ImpressView"}) {
            EXPECT_NE(std::find(parts.begin(), parts.end(), part), parts.end())
                << part << " is missing from " << ::testing::PrintToString(parts);
        }
        link.Call("close", [&] { TemplateLoader::Close(document); });
    }
    office.reset();
    session.EndOffice();
    launcher.Finish(10s);
}

} // namespace
} // namespace slidevane::test
