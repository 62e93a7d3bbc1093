// A synthetic input for the encoder: moving pictures and a tone, handed out through the
// two callbacks the way the program does, with switches for the faults a test needs.
#pragma once

#include "encoder/EncodeParameters.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace discforge::test {

struct SyntheticSettings {
    int width = 352;
    int height = 288;
    int framesPerSecondNum = 25;
    int framesPerSecondDen = 1;
    int frames = 50;
    int sampleRate = 44100;
    // The program's supply without sound: one sample frame consumed, 16 bytes of silence, up to sample 16.
    bool soundless = false;
    // The sound ends after this share of the pictures (1: as long as the pictures).
    double soundShare = 1.0;
    int failPictureAt = -1;   // frame whose picture callback fails
    int rowBytesDelta = 0;    // added to the row length handed out
    int failSoundAt = -1;     // sound call (counted from 0) that fails
    int brokenSoundAt = -1;   // sound call that delivers half a sample frame too much
    // Every picture one grey (FlatGrey of its frame) instead of the moving scene.
    bool flatPictures = false;
};

class SyntheticInput {
public:
    explicit SyntheticInput(SyntheticSettings settings);
    ~SyntheticInput();

    // The record for one encode, with this input's callbacks; becomes the active input.
    EncodeParameters Parameters(const std::string& outputName, int splitSizeMB = 0);
    // Makes this the input the callbacks serve again.
    void Activate();
    // The red, green and blue level of a flat picture; neighbouring frames differ widely.
    static uint8_t FlatGrey(int frame);

    // Runs before the picture of `frame` is handed out (for example to press Cancel).
    std::function<void(int frame)> beforePicture;

    // What the encoder asked for.
    std::vector<int> picturesAsked;
    std::vector<int> soundPositions;
    int64_t soundConsumed = 0;
    bool callsOnOtherThreads = false;

private:
    static int32_t SupplyPicture(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels);
    static int32_t SupplySound(int32_t firstSample, int32_t* consumed, int32_t* bytes, const uint8_t** samples);
    int32_t Picture(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels);
    int32_t Sound(int32_t firstSample, int32_t* consumed, int32_t* bytes, const uint8_t** samples);
    void Paint(int frame);

    SyntheticSettings settings_;
    std::string outputName_;
    std::thread::id caller_ = std::this_thread::get_id();
    std::vector<uint8_t> picture_;
    std::vector<int16_t> sound_;
    int64_t soundSamples_ = 0; // sample frames the input has
    int32_t lastSample_ = 0;
};

} // namespace discforge::test
