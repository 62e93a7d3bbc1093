#include "app/AppParts.h"

#include <utility>

namespace discforge {

AppParts::AppParts(AppPorts corePorts, SizeEditHooks hooks)
    : ports(std::move(corePorts))
    , settingsController(settings, encoder, ports.controls, ports.messages, ports.window, std::move(hooks))
    , streamReader(MediaContext())
    , frameFetch(MediaContext(), streamReader)
    , inputTable(inputs, settings, runLog,
          {ports.messages, ports.controls, ports.host, streamReader, workPicture, media.run.batchStop})
    , videoSupply(*this)
    , audioSupply(*this)
    , inputCommands(*this)
    , previews(*this)
    , windowRefresh(*this)
    , optionControls(*this)
    , projectCommands(*this)
{
    // Long picture work gives up when the batch is stopped.
    workPicture.SetStopFlag(&media.run.batchStop);
}

MediaInputContext AppParts::MediaContext()
{
    return {inputs, settings, runLog, media,
        {ports.messages, ports.controls, ports.window, ports.host, ports.filterDialog}};
}

} // namespace discforge
