// Creates three singletons A, B and C, in that order, and a null entry in the
// repository, then exits. Each singleton prints its name when it is deleted,
// and whether the library's image store was still there at that moment.
#include <cstdio>

#include "DGlobalResource.h"
#include "DSingleton.h"

template <char Name>
class ProbeSingleton : public DSingleton<ProbeSingleton<Name> >
{
    friend class DSingleton<ProbeSingleton<Name> >;

    ProbeSingleton() {}
    ~ProbeSingleton() override
    {
        std::printf("deleted %c store %s\n", Name, g_pJustForInitialize ? "alive" : "gone");
        std::fflush(stdout);
    }
};

int main()
{
    DSingleton<ProbeSingleton<'A'> >::instance();
    DSingleton<ProbeSingleton<'B'> >::instance();
    DSingletonRepository::instance()->append(nullptr);
    DSingleton<ProbeSingleton<'C'> >::instance();
    std::printf("main done\n");
    std::fflush(stdout);
    return 0;
}
