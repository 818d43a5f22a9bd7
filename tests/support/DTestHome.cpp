// Linked into every test executable: a test never reads or writes the real
// home of whoever runs it.
//
// Before the first Qt object exists, HOME and the XDG folders point at a fresh
// temporary folder of this process, removed again when the process ends. When
// the test runner (tests/run-test.sh) has already given the test a private home
// and says so in ZORVEL_PRIVATE_HOME, that home is kept and the runner removes it.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <sys/stat.h>

namespace {

// Set only when this process made the home itself. A plain array: it must
// outlive every static destructor (see removePrivateHome below).
char g_ownHome[4096];

bool runnerGaveAPrivateHome()
{
    const char* home = std::getenv("HOME");
    const char* marked = std::getenv("ZORVEL_PRIVATE_HOME");
    return home && marked && *marked && std::string(home) == marked;
}

std::string makeTemporaryHome()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zorvel-test-home.XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("zorvel test: cannot create a private home");
        std::exit(2);
    }
    return pattern;
}

void pointHomeAt(const std::string& home)
{
    const struct { const char* variable; const char* folder; } folders[] = {
        {"XDG_CONFIG_HOME", "/config"}, {"XDG_DATA_HOME", "/data"},
        {"XDG_CACHE_HOME", "/cache"}, {"XDG_RUNTIME_DIR", "/runtime"}};
    setenv("HOME", home.c_str(), 1);
    for (const auto& entry : folders) {
        const std::string path = home + entry.folder;
        mkdir(path.c_str(), 0700); // Qt insists on 0700 for the runtime folder
        setenv(entry.variable, path.c_str(), 1);
    }
    setenv("ZORVEL_PRIVATE_HOME", home.c_str(), 1);
}

struct PrivateHome
{
    PrivateHome()
    {
        if (runnerGaveAPrivateHome())
            return;
        const std::string home = makeTemporaryHome();
        if (home.size() >= sizeof g_ownHome) {
            std::fprintf(stderr, "zorvel test: temporary folder path too long\n");
            std::exit(2);
        }
        home.copy(g_ownHome, home.size());
        g_ownHome[home.size()] = '\0';
        pointHomeAt(home);
    }
};

// Before every other initialiser of the executable.
__attribute__((init_priority(101))) PrivateHome s_privateHome;

} // namespace

// A destructor function of the executable runs after every static destructor,
// those of the libraries included (the settings store may still write then).
__attribute__((destructor)) static void removePrivateHome()
{
    if (!g_ownHome[0])
        return;
    std::error_code ignored;
    std::filesystem::remove_all(g_ownHome, ignored);
}
