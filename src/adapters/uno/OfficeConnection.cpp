#include "OfficeConnection.h"

namespace slidevane {

std::shared_ptr<OfficeConnection>
OfficeConnection::TryConnect(const std::string& pipeName, std::chrono::milliseconds connectDeadline,
                             std::chrono::milliseconds callDeadline) {
    std::shared_ptr<OfficeLink> link = OfficeLink::Open(pipeName, connectDeadline);
    if (!link) {
        return nullptr;
    }
    return std::make_shared<OfficeConnection>(std::move(link), callDeadline);
}

OfficeConnection::OfficeConnection(std::shared_ptr<OfficeLink> link,
                                   std::chrono::milliseconds callDeadline)
    : link_(std::move(link)), callDeadline_(callDeadline) {}

} // namespace slidevane
