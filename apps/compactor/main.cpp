// The compressor program: see apps/compactor/compactor_app.h.

#include <string>
#include <vector>

#include "apps/compactor/compactor_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CCompactorApp app(argc > 0 ? argv[0] : "compactor", std::move(args));
    return app.InitInstance();
}
