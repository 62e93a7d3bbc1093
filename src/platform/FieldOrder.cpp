#include "platform/FieldOrder.h"

#include "platform/FileIdentity.h"
#include "platform/VideoCursor.h"

#include <deque>
#include <mutex>

namespace discforge {
namespace {

// The first two seconds of a 30-frame video are plenty to tell fields from frames.
constexpr int picturesJudged = 60;
// Enough for the inputs of a large batch, each opened again and again.
constexpr std::size_t filesKept = 64;

struct KnownFile {
    std::string path;
    FileIdentity identity;
    FieldOrder order = FieldOrder::progressive;
};

std::mutex& Guard()
{
    static std::mutex guard;
    return guard;
}

std::deque<KnownFile>& KnownFiles()
{
    static std::deque<KnownFile> files;
    return files;
}

FieldOrder FieldOrderFlaggedOrSeen(VideoCursor& cursor)
{
    FieldOrder order = FieldOrder::progressive;
    if (FieldOrderOfParameters(cursor.Stream()->codecpar->field_order, order)) {
        return order;
    }
    FieldStatistics statistics;
    for (int n = 0; n < picturesJudged && cursor.DecodeNext() == CursorStep::Frame; ++n) {
        const AVFrame& picture = *cursor.LastFrame();
        // A decoder that read the order from the pictures' own headers (DV, MPEG-2) says so on them.
        if (picture.interlaced_frame != 0) {
            return picture.top_field_first != 0 ? FieldOrder::topFirst : FieldOrder::bottomFirst;
        }
        if (FieldOrderOfParameters(cursor.CodecContext()->field_order, order)) {
            return order;
        }
        statistics.Add(picture);
    }
    return statistics.Verdict();
}

} // namespace

bool FieldOrderOfParameters(AVFieldOrder order, FieldOrder& found)
{
    // The second letter is the field shown first.
    switch (order) {
    case AV_FIELD_PROGRESSIVE:
        found = FieldOrder::progressive;
        return true;
    case AV_FIELD_TT:
    case AV_FIELD_BT:
        found = FieldOrder::topFirst;
        return true;
    case AV_FIELD_BB:
    case AV_FIELD_TB:
        found = FieldOrder::bottomFirst;
        return true;
    case AV_FIELD_UNKNOWN:
        break;
    }
    return false;
}

FieldOrder FieldOrderOfFile(const std::string& path)
{
    const FileIdentity identity = FileIdentity::Of(path);
    {
        std::lock_guard lock(Guard());
        for (const KnownFile& file : KnownFiles()) {
            if (file.path == path && file.identity == identity) {
                return file.order;
            }
        }
    }
    MediaError error;
    std::unique_ptr<VideoCursor> cursor = VideoCursor::Open(path, error);
    const FieldOrder order = cursor ? FieldOrderFlaggedOrSeen(*cursor) : FieldOrder::progressive;
    std::lock_guard lock(Guard());
    std::deque<KnownFile>& files = KnownFiles();
    files.push_front({path, identity, order});
    if (files.size() > filesKept) {
        files.pop_back();
    }
    return order;
}

} // namespace discforge
