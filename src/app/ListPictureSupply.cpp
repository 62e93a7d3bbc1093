// The list part of the frame supply: each picture of a list is read once per
// run, no larger than the fitting needs, and handed out again for every frame
// that shows it.
#include "app/AppMessages.h"
#include "app/AppParts.h"
#include "app/VideoSupply.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/InputMessages.h"
#include "picture/PictureFitting.h"

#include <utility>

namespace discforge {

int VideoSupply::SupplyListPicture(
    int index, const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    const std::optional<MadeListPicture> madeBefore = std::exchange(madeList_, std::nullopt);
    InputEntry& entry = core_.inputs.inputTable[static_cast<std::size_t>(index)];
    // Between runs and at a run's start the work picture serves other inputs and previews too.
    const bool running = core_.media.run.encoderBusy && !core_.settings.videoSettingsChanged;
    core_.settings.videoSettingsChanged = false;
    const MadeListPicture wanted{index, shownFrame_, options, core_.workPicture.LoadCount()};
    if (running && madeBefore == wanted) {
        madeList_ = wanted;
        return HandOut(rowBytes, pixels);
    }
    int result = LoadListPicture(entry, options, shownFrame_);
    if (result == videoOk) {
        result = Finish(options, rowBytes, pixels);
    }
    if (result == videoOk && core_.media.run.encoderBusy) {
        madeList_ = MadeListPicture{index, shownFrame_, options, core_.workPicture.LoadCount()};
    }
    return result;
}

TBaseDib::LeastSizeRule VideoSupply::ListReadSize(const PictureOptions& options, const FitRequest& request)
{
    // Deinterlacing and a crop rectangle work on the picture's own pixels, and
    // the crop fitting cuts them out unscaled: those need the whole picture.
    if (options.deinterlace || HasCropRectangle(options) || request.mode == FitMode::crop) {
        return {};
    }
    return [request](int width, int height) {
        const FitPlan plan = PlanFit(width, height, request);
        return ReadSize{plan.width, plan.height};
    };
}

int VideoSupply::LoadListPicture(InputEntry& entry, const PictureOptions& options, int line)
{
    std::string text;
    switch (entry.listFile.ReadLineAt(line, text)) {
    case ListLineResult::rewindFailed:
        return videoListRewindFailed;
    case ListLineResult::endOfFile:
        return videoListEnded;
    case ListLineResult::ok:
        break;
    }
    TFullDib& picture = core_.workPicture;
    picture.SetLeastSize(ListReadSize(options, FitRequestFor(options)));
    const std::string path = ListPicturePath(text, entry.listDirectory);
    const bool loaded = picture.LoadFile(path);
    picture.SetLeastSize({});
    if (!loaded) {
        if (core_.media.run.encoderBusy) {
            ShowMessage(core_.ports.messages,
                FormatText(message::listPictureRefused, entry.path.c_str(), line + 1, path.c_str(), picture.ErrorText()),
                message::listPictureCaption);
        }
        return videoPictureLoadFailed;
    }
    return picture.Depth() == 32 || picture.ConvertDepth(32) ? videoOk : videoDepthFailed;
}

} // namespace discforge
