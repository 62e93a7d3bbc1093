// Whether a video's pictures are whole frames or two fields taken at different
// moments, and which field comes first. The file's own word (container or codec,
// then the decoder's flags on the pictures) wins; a file that says nothing is
// judged from its first pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace discforge {

enum class FieldOrder { progressive, topFirst, bottomFirst };

// What the stream's parameters say; nothing when they leave it open.
bool FieldOrderOfParameters(AVFieldOrder order, FieldOrder& found);

// Tells fields from frames by how the rows of each picture fit between the rows
// of the pictures before and after it: a field shot later than its neighbour rows
// matches the next picture better than its own, one shot earlier the previous.
class FieldStatistics {
public:
    // Looks at the 8-bit luminance plane of consecutive pictures of one size;
    // pictures of other formats or sizes are passed over.
    void Add(const AVFrame& picture);
    FieldOrder Verdict() const;
    int TopFirstVotes() const { return topFirst_; }
    int BottomFirstVotes() const { return bottomFirst_; }
    int ProgressiveVotes() const { return progressive_; }

private:
    void Judge(const std::uint8_t* previous, const std::uint8_t* current, const std::uint8_t* next);

    std::vector<std::uint8_t> luma_[3]; // the last three pictures, oldest first
    int held_ = 0;
    int width_ = 0;
    int height_ = 0;
    int topFirst_ = 0;
    int bottomFirst_ = 0;
    int progressive_ = 0;
};

// The field order of the first video stream of the file; progressive when it
// cannot be read. The answer is kept for the file while it stays the same, as
// every activation of an input opens it again.
FieldOrder FieldOrderOfFile(const std::string& path);

} // namespace discforge
