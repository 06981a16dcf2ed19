#pragma once
// Registration of a self-registering component library (DllRegisterServer / DllUnregisterServer).
#include <string>

enum RegUnregResult : int {
    RegUnregLoadFailed = 1,     // the library could not be loaded
    RegUnregNoEntryPoint = 2,   // empty path, unknown mode or entry point missing
    RegUnregThreadFailed = 3,   // the worker could not be started, or did not finish within 10 s
    RegUnregRegistered = 4,
    RegUnregUnregistered = 5,
};

// mode 1 calls DllRegisterServer, mode 2 DllUnregisterServer, on a worker thread; waits at most
// 10 seconds. The library is unloaded before returning, except when the entry point is still
// running after the wait: then the worker is left to finish on its own, the library stays
// loaded (its code is still running) and the result is RegUnregThreadFailed.
int regunreg(const std::string& libraryPath, int mode);
