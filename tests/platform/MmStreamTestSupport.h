// Small helpers shared by the MmStream tests.
#pragma once

#include "platform/MmStream.h"

#include "SampleMedia.h"

#include <gtest/gtest.h>

namespace discforge::test {

// Update and wait as the fetch does, in one-second polls (a bounded number).
inline MmAnswer UpdateAndWait(MmStream& stream)
{
    MmAnswer answer = stream.Update();
    for (int poll = 0; answer == MmAnswer::Pending && poll < 60; ++poll) {
        answer = stream.CompletionStatus(1000);
    }
    return answer;
}

// The frame number shown by the surface; -2 when it cannot be locked.
inline std::int64_t ShownNumber(MmStream& stream)
{
    MmSurfaceLock lock;
    if (!stream.LockSurface(lock)) {
        return -2;
    }
    std::int64_t number = NumberInSurface(lock.pixels, lock.pitch, lock.width, lock.height);
    stream.UnlockSurface();
    return number;
}

inline std::unique_ptr<MmStream> RunningVideo(const std::string& path)
{
    MediaError error;
    std::unique_ptr<MmStream> stream = MmStream::Open(path, MmPurpose::PrimaryVideo, error);
    EXPECT_TRUE(stream) << error.text;
    if (stream && (!stream->CreateVideoSample(error) || !stream->Run(error))) {
        ADD_FAILURE() << error.text;
        return nullptr;
    }
    return stream;
}

} // namespace discforge::test
