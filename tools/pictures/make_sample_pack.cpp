// Writes the sample template pack (templates, UI pictures, registry file template) into the
// folder given, normally sample-pack/. Needs LibreOffice; run by scripts/make-sample-pack.sh.
#include "SamplePackBuilder.h"

#include <QGuiApplication>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: slidevane3-make-sample-pack PACK_FOLDER\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    try {
        slidevane::SamplePackBuilder(argv[1]).Build();
    } catch (const std::exception& e) {
        std::cerr << "slidevane3-make-sample-pack: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
