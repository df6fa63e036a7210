// ardmere-devicesim: a fleet of simulated cameras and recorders in one process.
#include "COptions.h"
#include "CSimulator.h"

#include <cstdio>

int main(int argc, char** argv)
{
    devsim::COptions options;
    std::string error;
    if (!options.parse(argc, argv, &error)) {
        if (options.helpRequested()) {
            std::fputs(devsim::COptions::usage().c_str(), stdout);
            return 0;
        }
        std::fprintf(stderr, "ardmere-devicesim: %s\n%s", error.c_str(),
                     devsim::COptions::usage().c_str());
        return 2;
    }
    devsim::CSimulator simulator(options);
    if (!simulator.init(argv[0], &error)) {
        std::fprintf(stderr, "ardmere-devicesim: %s\n", error.c_str());
        return 1;
    }
    return simulator.run();
}
