#ifndef DPLATFORMSERVICE_H
#define DPLATFORMSERVICE_H

// The one way to reach a platform service (login items, the screen's pixels,
// the window list ...). The service's interface derives from
// DPlatformService<Interface> and defines a static defaultService(), in use
// while no other is installed. The library's own services (login items, the
// compositing manager) default to their Linux implementations, so that any
// program linking the library works from the moment it loads. The program's
// services default to a null service, which does nothing and knows nothing,
// until the program installs the platform's own when it starts
// (installLinuxPlatformServices()). Tests install fakes, or the platform's own
// where they need the real thing.
//
// The library is a shared library with default visibility, so s_pInstalled (a
// template static) is one object for the whole process, even when both the
// program and the library instantiate DPlatformService<Interface>.
template <class Interface>
class DPlatformService
{
public:
    // The service installed last; without one, the default service.
    static Interface& current() { return s_pInstalled ? *s_pInstalled : Interface::defaultService(); }
    // Installs `service` (not owned; null: none) and returns the one it
    // replaces, so that a caller can put it back.
    static Interface* setCurrent(Interface* service)
    {
        Interface* previous = s_pInstalled;
        s_pInstalled = service;
        return previous;
    }

protected:
    DPlatformService() = default;
    ~DPlatformService() = default;

private:
    static Interface* s_pInstalled;
};

template <class Interface>
Interface* DPlatformService<Interface>::s_pInstalled = nullptr;

#endif // DPLATFORMSERVICE_H
