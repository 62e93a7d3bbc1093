// How far an encode is, shown to the user; and whether the user asked to stop.
#pragma once

#include <cstdint>
#include <string>

namespace discforge::convert {

struct ProgressReport {
    int64_t picturesDone = 0;
    int64_t picturesTotal = 0;
    double elapsedSeconds = 0;
    // Both passes of a two-pass encode count in the pictures: one bar, the pass named.
    int pass = 1;
    int passes = 1;
};

class ProgressView {
public:
    virtual ~ProgressView() = default;
    // Called several times a second; also lets the window system handle its events.
    virtual void Show(const ProgressReport& report) = 0;
    virtual bool CancelRequested() const { return false; }
    virtual void Raise() {}
};

// The figures every view shows.
struct ProgressFigures {
    int percent = 0;
    double picturesPerSecond = 0;
    std::string elapsed;   // "m:ss" or "h:mm:ss"
    std::string remaining; // the same, or "-" while the speed is unknown
    std::string pass; // "Pass 1 of 2 - ", empty for a single pass
};

ProgressFigures FiguresOf(const ProgressReport& report);

} // namespace discforge::convert
