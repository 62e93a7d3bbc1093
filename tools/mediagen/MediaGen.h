// Writers of the project's sample inputs: AVI files with the frame-number
// picture and the click track of tools/pattern, and picture lists (.lst with
// numbered BMP pictures). Used by the discforge-mediagen program and by tests.
#pragma once

#include <cstdint>
#include <string>

namespace discforge::mediagen {

enum class VideoCodec { Mpeg4, Mjpeg, RawRgb, None };
enum class AudioForm { Stereo16At44100, Stereo16At48000, Mono8At11025, Mono8At22050, Mp3, None };
// Ntsc2997 is 30000/1001; Exact2997 is 2997/100, as some AVI writers store it; Film23976 is 24000/1001.
enum class FrameRate { Pal25, Ntsc2997, Exact2997, Film23976 };

struct AviRecipe {
    std::string path;
    VideoCodec video = VideoCodec::Mpeg4;
    AudioForm audio = AudioForm::Stereo16At44100;
    FrameRate rate = FrameRate::Pal25;
    int width = 352;
    int height = 288;
    std::int64_t frames = 50; // with VideoCodec::None the sound still lasts this many frames
    int keyFrameInterval = 12; // MPEG-4 only; every frame is a key frame in MJPEG and raw RGB
    std::string fourCC; // overrides the codec's usual code when not empty (4 characters)
};

struct ListRecipe {
    std::string path; // the .lst file; the pictures go beside it
    std::int64_t pictures = 10;
    int width = 320;
    int height = 240;
    bool fullPaths = false; // lines hold the pictures' full paths instead of bare names
};

// Frames per second as a fraction.
void FrameRateFraction(FrameRate rate, int& numerator, int& denominator);
// Sample rate of an audio form (0 for none).
int AudioSampleRate(AudioForm form);

// Each returns false with `error` filled when the file cannot be written.
bool WriteAvi(const AviRecipe& recipe, std::string& error);
bool WritePictureList(const ListRecipe& recipe, std::string& error);
// A 24-bit BMP of the frame-number picture.
bool WritePatternBmp(const std::string& path, int width, int height, std::int64_t number, std::string& error);

} // namespace discforge::mediagen
