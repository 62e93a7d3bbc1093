#include "platform/FilterLibrary.h"

#include "platform/DynamicLibrary.h"

extern "C" {
#include <libavdevice/version_major.h>
#include <libavfilter/version_major.h>
#include <libavutil/macros.h>
}

#include <mutex>

namespace discforge {
namespace {

// The versions this program was built against.
constexpr const char* deviceLibraryName = "libavdevice.so." AV_STRINGIFY(LIBAVDEVICE_VERSION_MAJOR);
constexpr const char* filterLibraryName = "libavfilter.so." AV_STRINGIFY(LIBAVFILTER_VERSION_MAJOR);

template <typename Function>
bool Resolve(const DynamicLibrary& library, const char* name, Function& function, std::string& error)
{
    function = reinterpret_cast<Function>(library.Symbol(name));
    if (function == nullptr) {
        error = std::string(name) + " is missing from the filter library";
        return false;
    }
    return true;
}

struct LoadedLibraries {
    // Never unloaded: filter graphs may run until the process ends.
    DynamicLibrary device;
    DynamicLibrary filter;
    FilterLibrary functions;
    std::string error;
    bool loaded = false;

    void Load()
    {
        if (!device.Open(deviceLibraryName)) {
            error = device.LastError();
            return;
        }
        if (!filter.Open(filterLibraryName)) {
            error = filter.LastError();
            return;
        }
        void (*registerDevices)() = nullptr;
        FilterLibrary& f = functions;
        loaded = Resolve(device, "avdevice_register_all", registerDevices, error)
            && Resolve(filter, "avfilter_graph_alloc", f.graphAlloc, error)
            && Resolve(filter, "avfilter_graph_free", f.graphFree, error)
            && Resolve(filter, "avfilter_get_by_name", f.getByName, error)
            && Resolve(filter, "avfilter_graph_create_filter", f.graphCreateFilter, error)
            && Resolve(filter, "avfilter_inout_alloc", f.inOutAlloc, error)
            && Resolve(filter, "avfilter_inout_free", f.inOutFree, error)
            && Resolve(filter, "avfilter_graph_parse_ptr", f.graphParse, error)
            && Resolve(filter, "avfilter_graph_config", f.graphConfig, error)
            && Resolve(filter, "av_buffersink_get_frame", f.sinkGetFrame, error);
        if (loaded) {
            registerDevices();
        }
    }
};

} // namespace

const FilterLibrary* FilterLibrary::Load(std::string& error)
{
    static LoadedLibraries* const libraries = new LoadedLibraries;
    static std::once_flag once;
    std::call_once(once, [] { libraries->Load(); });
    if (!libraries->loaded) {
        error = libraries->error;
        return nullptr;
    }
    return &libraries->functions;
}

} // namespace discforge
