// FFmpeg's filter and device libraries, loaded the first time a script needs
// them. Only scripts run filter graphs; linking the libraries into the program
// would map their eighty dependencies (speech, vector drawing, capture devices)
// into every conversion, about 19 MiB of its memory.
#pragma once

#include <string>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
}

namespace discforge {

struct FilterLibrary {
    decltype(&avfilter_graph_alloc) graphAlloc = nullptr;
    decltype(&avfilter_graph_free) graphFree = nullptr;
    decltype(&avfilter_get_by_name) getByName = nullptr;
    decltype(&avfilter_graph_create_filter) graphCreateFilter = nullptr;
    decltype(&avfilter_inout_alloc) inOutAlloc = nullptr;
    decltype(&avfilter_inout_free) inOutFree = nullptr;
    decltype(&avfilter_graph_parse_ptr) graphParse = nullptr;
    decltype(&avfilter_graph_config) graphConfig = nullptr;
    decltype(&av_buffersink_get_frame) sinkGetFrame = nullptr;

    // The libraries, loaded once for the process with the input device "lavfi"
    // registered; null with `error` saying why when they cannot be loaded.
    static const FilterLibrary* Load(std::string& error);
};

} // namespace discforge
