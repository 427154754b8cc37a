#include "XvfbDisplay.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace slidevane::test {

bool XvfbDisplay::Available() {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            return false;
        }
    }
    return true;
}

namespace {

std::vector<std::string> Line(const QString& program, const QStringList& arguments) {
    std::vector<std::string> line{program.toStdString()};
    for (const QString& argument : arguments) {
        line.push_back(argument.toStdString());
    }
    return line;
}

} // namespace

XvfbDisplay::XvfbDisplay() {
    // -displayfd picks a free display and writes its number to the given descriptor (stdout);
    // -noreset keeps the server's settings when the last client leaves.
    try {
        server_ = std::make_unique<UserProgram>(
            Line(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-noreset"),
                  QStringLiteral("-nolisten"), QStringLiteral("tcp")}),
            UserEnvironment::FromSession());
    } catch (const std::exception&) {
        return;
    }
    std::string number;
    WaitFor(
        [&] {
            number = server_->Output();
            return number.find('\n') != std::string::npos || !server_->Running();
        },
        10000);
    if (number.find('\n') != std::string::npos) {
        name_ = QStringLiteral(":") + QString::fromStdString(number).trimmed();
    }
}

XvfbDisplay::~XvfbDisplay() {
    if (server_) {
        server_->Signal(SIGTERM);
        server_->Finish(std::chrono::seconds(5));
    }
}

UserEnvironment XvfbDisplay::Environment() const {
    UserEnvironment environment = UserEnvironment::FromSession();
    environment.Set("DISPLAY", name_.toStdString()).Unset("XAUTHORITY");
    return environment;
}

QString XvfbDisplay::XDoTool(const QStringList& arguments) const {
    return QString::fromStdString(UserProgram::Run(Line(QStringLiteral("xdotool"), arguments),
                                                   Environment(), std::chrono::seconds(10))
                                      .output);
}

QImage XvfbDisplay::Screenshot() const {
    std::string const png =
        UserProgram::Run(
            Line(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")}),
            Environment(), std::chrono::seconds(20))
            .output;
    return QImage::fromData(reinterpret_cast<const uchar*>(png.data()),
                            static_cast<int>(png.size()), "PNG");
}

bool XvfbDisplay::CloseWindow(const QString& window) const {
    bool numeric = false;
    xcb_window_t const id = window.trimmed().toUInt(&numeric);
    xcb_connection_t* const connection = xcb_connect(name_.toLatin1().constData(), nullptr);
    if (!numeric || xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    auto atom = [&](const char* name) {
        xcb_intern_atom_reply_t* const reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        xcb_atom_t const found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_void_cookie_t const sent = xcb_send_event_checked(
        connection, 0, id, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_generic_error_t* const error = xcb_request_check(connection, sent);
    bool const delivered = error == nullptr;
    std::free(error);
    xcb_disconnect(connection);
    return delivered;
}

QRect XvfbDisplay::WindowNamed(const QString& title, int milliseconds) const {
    QString window;
    WaitFor(
        [&] {
            window = XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), title})
                         .trimmed();
            return !window.isEmpty();
        },
        milliseconds);
    if (window.isEmpty()) {
        return {};
    }
    QString const shell = XDoTool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
                                   window.section('\n', 0, 0)});
    auto value = [&](const char* key) {
        for (QString const& line : shell.split('\n')) {
            if (line.startsWith(QLatin1String(key) + QLatin1Char('='))) {
                return line.section('=', 1).toInt();
            }
        }
        return -1;
    };
    return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

bool XvfbDisplay::WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

} // namespace slidevane::test
