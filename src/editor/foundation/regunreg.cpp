#include "foundation/regunreg.h"

#include <chrono>
#include <condition_variable>
#include <dlfcn.h>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

using EntryPoint = long (*)();

// Shared with the worker, which may outlive the call after a timeout.
struct WorkerState {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    long result = 0;
};

constexpr auto kWait = std::chrono::seconds(10);

}  // namespace

int regunreg(const std::string& libraryPath, int mode) {
    if (libraryPath.empty() || (mode != 1 && mode != 2)) return RegUnregNoEntryPoint;

    void* lib = ::dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) return RegUnregLoadFailed;

    auto entry = reinterpret_cast<EntryPoint>(
        ::dlsym(lib, mode == 1 ? "DllRegisterServer" : "DllUnregisterServer"));
    if (!entry) {
        ::dlclose(lib);
        return RegUnregNoEntryPoint;
    }

    auto state = std::make_shared<WorkerState>();
    std::thread worker;
    try {
        worker = std::thread([state, entry] {
            long r = entry();
            std::lock_guard lock(state->mutex);
            state->result = r;
            state->finished = true;
            state->done.notify_all();
        });
    } catch (const std::system_error&) {
        ::dlclose(lib);
        return RegUnregThreadFailed;
    }

    bool finished;
    {
        std::unique_lock lock(state->mutex);
        finished = state->done.wait_for(lock, kWait, [&] { return state->finished; });
    }
    if (!finished) {
        // Unloading code that still runs would crash the process; leave both alone.
        worker.detach();
        return RegUnregThreadFailed;
    }
    // The entry point has returned; the worker only has to leave our own lambda.
    worker.join();
    ::dlclose(lib);
    return mode == 1 ? RegUnregRegistered : RegUnregUnregistered;
}
