#ifndef DFAKEDESKTOPCOMPOSITOR_H
#define DFAKEDESKTOPCOMPOSITOR_H

#include "DDesktopCompositor.h"
#include "DInstalledService.h"

// A compositing manager that runs or not, as set. Installed while it lives.
class DFakeDesktopCompositor : public DDesktopCompositor
{
public:
    explicit DFakeDesktopCompositor(bool isRunning)
        : running(isRunning)
    {
    }

    bool running;
    bool isRunning() const override { return running; }

private:
    DInstalledService<DDesktopCompositor> m_installed{this};
};

#endif // DFAKEDESKTOPCOMPOSITOR_H
