// Writes the pictures the program carries (window background, control pictures, icon, hand
// pointer) into the folder given, normally src/picture/assets. Run by scripts/make-pictures.sh.
#include "StoredPictures.h"

#include <QGuiApplication>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: slidevane3-make-pictures OUTPUT_FOLDER\n";
        return 2;
    }
    // Drawing needs fonts and a paint engine, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    try {
        slidevane::StoredPictures::WriteAll(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "slidevane3-make-pictures: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
