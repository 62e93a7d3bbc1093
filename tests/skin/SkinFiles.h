// What the skin tests read: a skin folder (the committed one, the copy beside the
// program, or one freshly drawn by the generator), its layout file read by the
// window's lookup rule, its pictures decoded by the program's own readers, and
// the coding parameters of its JPEG files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "picture/TFullDib.h"

namespace discforge::test {

// Every key of position.txt in the order the file lists them: the construction
// keys, the set-up keys, then the two preview position bars.
const std::vector<std::string>& SkinKeys();
// The image buttons' pictures and the key that places each.
struct StripKey {
    std::string file;
    std::string key;
};
const std::vector<StripKey>& StripKeys();

std::string CommittedSkin();
std::string InstalledSkin();
// Draws the skin at this scale into a folder of this test process (once per
// scale) and returns the folder; empty when the generator failed.
std::string FreshSkin(int scale);

std::string ReadWholeFile(const std::string& path);

// A key's value found as the window finds it: the first occurrence of the key
// anywhere, one separator, then "%d,%d,%d,%d" up to the next ";".
struct LayoutValue {
    bool found = false;
    std::size_t at = 0; // where the key was found
    int count = 0; // numbers read
    int n[4] = {0, 0, 0, 0};
};
LayoutValue LookUp(const std::string& text, const std::string& key);

struct Rect {
    int x, y, w, h;
};
Rect RectOf(const LayoutValue& value);
bool Overlap(const Rect& a, const Rect& b);

// A decoded picture with top-down pixel access.
class Picture {
public:
    bool Load(const std::string& path);
    int Width() const { return dib_.Width(); }
    int Height() const { return dib_.Height(); }
    const char* Error() const { return dib_.ErrorText(); }
    // Red, green, blue of pixel (x, y), y counted from the top.
    void Rgb(int x, int y, int rgb[3]) const;
    // Mean absolute difference per channel between two equal-sized areas.
    double MeanDifference(const Rect& a, const Picture& other, const Rect& b) const;
    // The brightest pixel's luma inside an area.
    int MaxLuma(const Rect& area) const;

private:
    TFullDib dib_;
};

// The coding parameters read from a JPEG file's markers.
struct JpegCoding {
    bool readable = false;
    int largestQuantizer = 0; // over every quantisation table
    std::vector<int> samplingFactors; // one byte per component, 0x11 = full resolution
};
JpegCoding ReadJpegCoding(const std::string& path);

} // namespace discforge::test
