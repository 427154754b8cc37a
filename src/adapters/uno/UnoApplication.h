#pragma once

#include "HiddenPresentations.h"
#include "OfficeConnection.h"
#include "platform/AutomationPort.h"

#include <memory>

// The office as the presentation application: its Presentations collection and its visibility.
//
// Owns: a share of the connection and the presentations added through it. Showing the
// application shows those presentations only; other documents of the office, and the office
// itself, are never touched.
namespace slidevane {

class UnoApplication : public AutomationApplication {
public:
    explicit UnoApplication(std::shared_ptr<OfficeConnection> office);

    std::unique_ptr<AutomationPresentations> Presentations() override;
    // Showing the application shows its presentations; hiding it is not something the program
    // does to a user's office, so it leaves everything as it is.
    void SetVisible(int visible) override;

    const std::shared_ptr<OfficeConnection>& Office() const { return office_; }

private:
    std::shared_ptr<OfficeConnection> office_;
    std::shared_ptr<HiddenPresentations> hidden_;
};

} // namespace slidevane
