#ifndef DFAKECOMPOSITOR_H
#define DFAKECOMPOSITOR_H

#include "DDesktopCompositor.h"

// For tests: a compositing manager that runs or not, as set. Installs itself while it lives.
class DFakeCompositor : public DDesktopCompositor
{
public:
    explicit DFakeCompositor(bool isRunning)
        : running(isRunning)
    {
        setCurrent(this);
    }
    ~DFakeCompositor() override { setCurrent(nullptr); }

    bool running;
    bool isRunning() const override { return running; }
};

#endif // DFAKECOMPOSITOR_H
