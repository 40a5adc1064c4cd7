#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "shell/TPacequillApp.h"

int main(int argc, char *argv[]) {
    // Events are guarded by the application itself; this catches what is thrown while it is made or ends.
    try {
        // Taken before the toolkit removes its own options from the arguments.
        const QString rawCommandLine = TPacequillApp::RawCommandLine(argc, argv);
        TPacequillApp app(argc, argv, rawCommandLine);
        return app.Run();
    } catch (const std::bad_alloc &) {
        std::fputs("pacequill: not enough memory\n", stderr);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "pacequill: %s\n", error.what());
    }
    return EXIT_FAILURE;
}
