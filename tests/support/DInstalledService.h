#ifndef DINSTALLEDSERVICE_H
#define DINSTALLEDSERVICE_H

// Installs a platform service for the life of the object, then puts back the
// one that was installed before. Fakes hold one, so that they are in use
// exactly while they live.
template <class Interface>
class DInstalledService
{
public:
    explicit DInstalledService(Interface* service)
        : m_pPrevious(Interface::setCurrent(service))
    {
    }
    ~DInstalledService() { Interface::setCurrent(m_pPrevious); }

    DInstalledService(const DInstalledService&) = delete;
    DInstalledService& operator=(const DInstalledService&) = delete;

private:
    Interface* m_pPrevious;
};

#endif // DINSTALLEDSERVICE_H
