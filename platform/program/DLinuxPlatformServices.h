#ifndef DLINUXPLATFORMSERVICES_H
#define DLINUXPLATFORMSERVICES_H

// Installs this platform's own implementation of every service of the
// program: the login records, hotkey registration, and the X display's window
// list, pixels and keyboard focus (the library's own services, login items and the
// compositing manager, are its Linux ones from the start). The program calls
// it first thing in main(); a test that needs the real services calls it too.
// The services live until the process ends.
void installLinuxPlatformServices();

#endif // DLINUXPLATFORMSERVICES_H
