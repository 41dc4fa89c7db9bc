#include "engine.h"

#include <cstdio>

// The engine's copy inside this library reads its stdout and stderr through these two
// hidden variables (see CMakeLists.txt), set when the library loads.
extern "C" {
__attribute__((visibility("hidden"))) FILE* tv_sqlcipher_stdout = nullptr;
__attribute__((visibility("hidden"))) FILE* tv_sqlcipher_stderr = nullptr;
}

namespace {

const bool kStreamsSet = [] {
    tv_sqlcipher_stdout = stdout;
    tv_sqlcipher_stderr = stderr;
    return true;
}();

} // namespace
