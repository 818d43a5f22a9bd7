#ifndef DSINGLETON_H
#define DSINGLETON_H

#include <QList>
#include <typeinfo>

// Base of every process-wide service, so that the repository can delete any of
// them through one virtual destructor.
class DSingletonBase
{
public:
    virtual ~DSingletonBase() {}
};

class DSingletonRepository;

// A lazily created process-wide service. The library is a shared library with
// default visibility, so m_pInstance (a template static) and the repository's
// function-local static are bound to one object for the whole process, even
// when both the program and the library instantiate DSingleton<T>.
//
// A class T used here gives DSingleton<T> access to its default constructor
// (friend class DSingleton<T>), and is deleted only by the repository.
template <class T>
class DSingleton : public DSingletonBase
{
public:
    static T* instance();

protected:
    DSingleton() {}
    ~DSingleton() override {}

    static T* m_pInstance;

private:
    DSingleton(const DSingleton&) = delete;
    DSingleton& operator=(const DSingleton&) = delete;
};

template <class T>
T* DSingleton<T>::m_pInstance = nullptr;

// Owner of every singleton: the newest is at the front, and at exit they are
// deleted front to back, that is newest first.
class DSingletonRepository : public DSingleton<DSingletonRepository>
{
public:
    // The one repository of the process, created on the first call.
    static DSingletonRepository* instance()
    {
        static DSingletonRepository repository;
        return &repository;
    }

    void append(DSingletonBase* singleton) { m_singletons.prepend(singleton); }

    // Front to back, newest first. For inspection only.
    QList<DSingletonBase*> singletons() const { return m_singletons; }

    ~DSingletonRepository() override
    {
        const QList<DSingletonBase*> singletons = m_singletons;
        for (DSingletonBase* singleton : singletons)
            delete singleton;
        m_singletons.clear();
    }

private:
    DSingletonRepository() {}

    QList<DSingletonBase*> m_singletons;
};

// The repository is a function-local static, never a heap object of its own:
// asking for it through the template gives that same object.
template <>
inline DSingletonRepository* DSingleton<DSingletonRepository>::instance()
{
    return DSingletonRepository::instance();
}

template <class T>
T* DSingleton<T>::instance()
{
    if (m_pInstance)
        return m_pInstance;
    m_pInstance = new T;
    if (typeid(T) != typeid(DSingletonRepository))
        DSingletonRepository::instance()->append(m_pInstance);
    return m_pInstance;
}

#endif // DSINGLETON_H
