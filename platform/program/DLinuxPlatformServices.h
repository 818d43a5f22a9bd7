#ifndef DLINUXPLATFORMSERVICES_H
#define DLINUXPLATFORMSERVICES_H

// Installs this platform's own implementation of every platform service: XDG
// login items, the login records, hotkey registration, and the X display's
// window list, pixels, compositing manager and keyboard focus. The program
// calls it first thing in main(); a test that needs the real services calls it
// too. The services live until the process ends.
void installLinuxPlatformServices();

#endif // DLINUXPLATFORMSERVICES_H
