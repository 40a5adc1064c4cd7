#include "shell/TPacequillApp.h"

int main(int argc, char *argv[]) {
    // Taken before the toolkit removes its own options from the arguments.
    const QString rawCommandLine = TPacequillApp::RawCommandLine(argc, argv);
    TPacequillApp app(argc, argv, rawCommandLine);
    return app.Run();
}
