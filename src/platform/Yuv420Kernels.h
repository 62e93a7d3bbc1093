// The arithmetic of the 4:2:0 to BGRX conversion (Yuv420ToBgrx.h), shared by the
// conversion to rows and the one to the columns of an area reduction.
#pragma once

#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DISCFORGE_YUV_AVX2 1
#endif

namespace discforge::yuv420 {

// Samples four times over less their zero, times these factors in units of 1/32768,
// rounded to the nearest level: each term of a colour rounds apart, so that the colours
// come out as bright as the pictures are (truncating each term made every picture a
// level darker, which a disc stream then carries as its largest error).
constexpr int lumaScale = 9539;
constexpr int lumaOffset = 64;
constexpr int chromaOffset = 512;
constexpr int blueFromCb = 16525;
constexpr int greenFromCb = -3209;
constexpr int greenFromCr = -6660;
constexpr int redFromCr = 13075;

// Pixels converted at a time by the wide kernels.
constexpr int blockPixels = 32;

#if DISCFORGE_YUV_AVX2

struct ChromaTerms {
    __m256i blue;
    __m256i green;
    __m256i red;
};

// The colour terms of 16 chroma samples, in 16-bit lanes in pixel-pair order.
__attribute__((target("avx2"))) inline ChromaTerms ChromaOf(const std::uint8_t* cb, const std::uint8_t* cr)
{
    const __m256i offset = _mm256_set1_epi16(chromaOffset);
    const __m256i u = _mm256_sub_epi16(
        _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cb))), 2), offset);
    const __m256i v = _mm256_sub_epi16(
        _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cr))), 2), offset);
    return ChromaTerms{_mm256_mulhrs_epi16(u, _mm256_set1_epi16(blueFromCb)),
        _mm256_adds_epi16(_mm256_mulhrs_epi16(u, _mm256_set1_epi16(greenFromCb)),
            _mm256_mulhrs_epi16(v, _mm256_set1_epi16(greenFromCr))),
        _mm256_mulhrs_epi16(v, _mm256_set1_epi16(redFromCr))};
}

// One colour of 32 pixels as bytes in pixel order within each 16-pixel half:
// the even and odd pixels are packed apart, then interleaved.
__attribute__((target("avx2"))) inline __m256i ColourBytes(__m256i evenLuma, __m256i oddLuma, __m256i term)
{
    const __m256i interleave = _mm256_setr_epi8(
        0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15);
    return _mm256_shuffle_epi8(
        _mm256_packus_epi16(_mm256_adds_epi16(evenLuma, term), _mm256_adds_epi16(oddLuma, term)), interleave);
}

// 32 pixels of one row, whose chroma terms are given, as four registers of BGRX
// pixels: quads[k] holds pixels 4k .. 4k + 3 in its low half and 16 + 4k ..
// 19 + 4k in its high half.
__attribute__((target("avx2"))) inline void PixelQuads(
    const std::uint8_t* luma, const ChromaTerms& chroma, __m256i fourth, __m256i quads[4])
{
    const __m256i samples = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma));
    const __m256i offset = _mm256_set1_epi16(lumaOffset);
    const __m256i scale = _mm256_set1_epi16(lumaScale);
    const __m256i even = _mm256_and_si256(samples, _mm256_set1_epi16(0x00FF));
    const __m256i odd = _mm256_srli_epi16(samples, 8);
    const __m256i evenLuma = _mm256_mulhrs_epi16(_mm256_sub_epi16(_mm256_slli_epi16(even, 2), offset), scale);
    const __m256i oddLuma = _mm256_mulhrs_epi16(_mm256_sub_epi16(_mm256_slli_epi16(odd, 2), offset), scale);
    const __m256i blue = ColourBytes(evenLuma, oddLuma, chroma.blue);
    const __m256i green = ColourBytes(evenLuma, oddLuma, chroma.green);
    const __m256i red = ColourBytes(evenLuma, oddLuma, chroma.red);
    const __m256i blueGreenLow = _mm256_unpacklo_epi8(blue, green);
    const __m256i blueGreenHigh = _mm256_unpackhi_epi8(blue, green);
    const __m256i redFourthLow = _mm256_unpacklo_epi8(red, fourth);
    const __m256i redFourthHigh = _mm256_unpackhi_epi8(red, fourth);
    quads[0] = _mm256_unpacklo_epi16(blueGreenLow, redFourthLow);
    quads[1] = _mm256_unpackhi_epi16(blueGreenLow, redFourthLow);
    quads[2] = _mm256_unpacklo_epi16(blueGreenHigh, redFourthHigh);
    quads[3] = _mm256_unpackhi_epi16(blueGreenHigh, redFourthHigh);
}

#endif

} // namespace discforge::yuv420
