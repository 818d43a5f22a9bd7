// A program that links libZorvelKit and nothing of Zorvelshot, and runs none
// of its start-up: "add" and "remove" put this executable into the user's
// login items or take it out again through the library; it then prints what it
// finds there, and which compositing-manager service the library reached.
#include <QCoreApplication>
#include <cstdio>

#include "DDesktopCompositor.h"
#include "DUtility.h"
#include "DX11Compositor.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray command = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (command == "add")
        DUtility::setAutoRun(true);
    else if (command == "remove")
        DUtility::setAutoRun(false);
    std::printf("login item: %s\n", DUtility::deleteAppFromLoginItem(true) ? "yes" : "no");
    std::printf("compositor: %s\n", dynamic_cast<DX11Compositor*>(&DDesktopCompositor::current()) ? "X11" : "other");
    return 0;
}
