#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

// Answers every modal message box that opens while it lives: notes what it showed and presses
// its OK button, as a user would. Its timer dies with it, so it cannot fire in a later test.
namespace slidevane::test {

struct SeenBox {
    QString caption;
    QString text;
    bool hasIcon = false;
    int buttonCount = 0;
    bool busyPointer = false; // the application's pointer was overridden while it showed
};

class ModalBoxWatcher {
public:
    ModalBoxWatcher();
    const std::vector<SeenBox>& Seen() const { return seen_; }

private:
    void Poll();

    QTimer timer_;
    std::vector<SeenBox> seen_;
};

} // namespace slidevane::test
