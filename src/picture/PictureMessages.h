// The texts the picture code leaves in a picture's error text.
#pragma once

namespace discforge::picture_message {

inline constexpr const char* openFailed = "Error opening file %s";
inline constexpr const char* emptyFile = "%s is an empty or invalid file";
inline constexpr const char* unknownType = "%s is an unknown file type";
inline constexpr const char* unsupportedDepth = "Unsupported color depth";
inline constexpr const char* outOfMemory = "Insufficient memory to load image";
inline constexpr const char* prematureEnd = "Premature end of file";
inline constexpr const char* unsupportedHeader = "Unsupported image header";
inline constexpr const char* unsupportedPlanes = "Unsupported number of bit planes";
inline constexpr const char* invalidTarga = "Invalid or unsupported Targa file";
inline constexpr const char* unsupportedTargaMap = "Unsupported Targa colormap format";
inline constexpr const char* invalidGifCodeSize = "Invalid GIF codesize";
inline constexpr const char* notEnoughGifImages = "Not enough images in GIF file";
inline constexpr const char* tooManyPixels = "it declares %d × %d pixels, more than %d megapixels";
inline constexpr const char* tooMuchDecoderMemory = "it declares %d × %d pixels in several scans, which need %lld MB to decode";

} // namespace discforge::picture_message
