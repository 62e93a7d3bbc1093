// discforge-screengrab PATH: saves the whole screen of the X display in
// DISPLAY as a PNG picture, for the tests that look at the running program.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: discforge-screengrab PATH\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fprintf(stderr, "discforge-screengrab: no screen\n");
        return 1;
    }
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
