#ifndef DFAKEDESKTOPCOMPOSITOR_H
#define DFAKEDESKTOPCOMPOSITOR_H

#include "DDesktopCompositor.h"

// For tests: a compositing manager that runs or not, as set. Installs itself while it lives.
class DFakeDesktopCompositor : public DDesktopCompositor
{
public:
    explicit DFakeDesktopCompositor(bool isRunning)
        : running(isRunning)
    {
        setCurrent(this);
    }
    ~DFakeDesktopCompositor() override { setCurrent(nullptr); }

    bool running;
    bool isRunning() const override { return running; }
};

#endif // DFAKEDESKTOPCOMPOSITOR_H
