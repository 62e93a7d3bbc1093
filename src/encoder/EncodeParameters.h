/*
 * The interface between the program and the MPEG encoder library, shared by both.
 * Plain C so that the library can export it with C linkage.
 *
 * The library pulls its input through the two callbacks. Both return 0 on success
 * and a non-zero failure code otherwise; the pointers they store stay valid until
 * the next call of the same callback. Sound calls come in order from sample 0,
 * each going on where the last ended; pictures may be asked in any order.
 */
#ifndef DISCFORGE_ENCODE_PARAMETERS_H
#define DISCFORGE_ENCODE_PARAMETERS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Stores the row length in bytes (width x 4) and a pointer to 32-bit blue-green-red-X
 * pixels, bottom row first. */
typedef int32_t (*SupplyVideoFrameFn)(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels);

/* Stores the input sample frames consumed, the bytes delivered and a pointer to
 * 16-bit little-endian stereo samples at the record's sample rate. */
typedef int32_t (*SupplyAudioFn)(
    int32_t firstSample, int32_t* samplesConsumed, int32_t* bytesDelivered, const uint8_t** samples);

/* One input's encode. With 32-bit pointers this is the 60-byte record the library
 * has always taken; the field order and widths must not change. */
typedef struct EncodeParameters {
    uint8_t videoFlag; /* always 1 */
    int32_t width;
    int32_t height;
    int32_t firstFrame; /* always 0 */
    int32_t lastFrame;
    int32_t firstSample; /* always 0 */
    int32_t lastSample;
    uint8_t audioFlag; /* always 1 */
    int32_t sampleRate;
    uint8_t sampleFlag; /* always 1 */
    int32_t bitsPerSample; /* always 16 */
    const char* outputName;
    SupplyVideoFrameFn supplyVideoFrame;
    SupplyAudioFn supplyAudio;
    int32_t splitSizeMB; /* 0: one file */
} EncodeParameters;

#if UINTPTR_MAX == 0xFFFFFFFFu
#ifdef __cplusplus
static_assert(sizeof(EncodeParameters) == 60, "the encoder record is 60 bytes with 32-bit pointers");
#else
_Static_assert(sizeof(EncodeParameters) == 60, "the encoder record is 60 bytes with 32-bit pointers");
#endif
#endif

/* The extension channel: what the library learns beyond the record, through the
 * optional entry point swMPEGExtend, for the next swMPEGMakeMPEG only. A record of a
 * later version is longer and starts the same; the library reads what it knows. */
#define ENCODE_EXTENSION_VERSION 3u
/* The pictures' fields, from version 2 on. */
enum EncodeFieldOrder {
    ENCODE_PROGRESSIVE = 0, /* whole frames */
    ENCODE_TOP_FIELD_FIRST = 1, /* two fields a picture, the one of the top row shot first */
    ENCODE_BOTTOM_FIELD_FIRST = 2
};
typedef struct EncodeExtension {
    uint32_t size; /* sizeof(EncodeExtension) of the caller */
    uint32_t version; /* ENCODE_EXTENSION_VERSION */
    int64_t videoBitRate; /* the planned average in bits per second; 0: the disc's usual */
    int32_t passes; /* 2: a first pass learns each picture's cost for a planned rate; 0 or 1: one pass */
    int32_t reserved; /* 0 */
    /* version 2 */
    int32_t fieldOrder; /* an EncodeFieldOrder */
    /* The rate of the pictures handed over, as a fraction; 0/0: the disc's own. A film at
     * 24000/1001 for an NTSC DVD is handed over picture by picture and played at 29.97
     * by the player repeating fields. */
    int32_t pictureRateNum;
    int32_t pictureRateDen;
    int32_t reserved2; /* 0 */
    /* version 3 */
    /* The columns of the frames written: the disc's usual width, or for a DVD its half
     * width (352), each pixel then twice as wide; 0: the disc's usual. The record's width
     * and height are then the pictures' as handed over, which the library brings to it. */
    int32_t frameWidth;
    int32_t reserved3; /* 0 */
} EncodeExtension;
/* The sizes of version 1 and 2 records, which the library still takes. */
#define ENCODE_EXTENSION_V1_SIZE 24u
#define ENCODE_EXTENSION_V2_SIZE 40u
#ifdef __cplusplus
static_assert(offsetof(EncodeExtension, fieldOrder) == ENCODE_EXTENSION_V1_SIZE, "version 2 starts after version 1");
static_assert(offsetof(EncodeExtension, frameWidth) == ENCODE_EXTENSION_V2_SIZE, "version 3 starts after version 2");
#endif

/* More sound streams for a DVD, through the optional entry point swMPEGSoundTracks, for
 * the next swMPEGMakeMPEG only: the library reads each track from its file itself and
 * writes it as a stream of its own after the supply's (or, with replaceSupply, instead
 * of it: the supply is then still pulled but its sound is not written). Each is encoded
 * as AC-3 in its own channel layout (5.1 stays 5.1) or, when `copy` is set and the track
 * is AC-3 at 48 kHz, written as it is. The strings are copied during the call. */
#define ENCODE_SOUND_TRACK_LIMIT 8
typedef struct EncodeSoundTrack {
    uint32_t size; /* sizeof(EncodeSoundTrack) of the caller */
    int32_t streamIndex; /* the track's stream in the file */
    const char* path;
    /* In the stream's time base: the instant that plays with the first picture of the
     * encode (the file's clock zero, its coder's delay and the selection's start). */
    int64_t startPts;
    int32_t copy;
    int32_t reserved; /* 0 */
} EncodeSoundTrack;

/* Results of swMPEGMakeMPEG. Only ENCODE_COMPLETED lets a batch go on. */
enum EncodeResult {
    ENCODE_COMPLETED = 31,
    ENCODE_CANCELLED = 32,
    ENCODE_BAD_PARAMETERS = 33,
    ENCODE_CALLBACK_FAILED = 34,
    ENCODE_OUTPUT_FAILED = 35,
    ENCODE_CODEC_FAILED = 36,
    ENCODE_NOT_INITIALISED = 37,
    ENCODE_BUSY = 38 /* swMPEGMakeMPEG called again while an encode runs */
};

/* The five entry points, resolved by name at run time. The window handle given to
 * swMPEGAppWnd is the program's top-level QWidget pointer, or null without a window. */
typedef int32_t (*SwMpegInitFn)(int32_t formatCode);
typedef int32_t (*SwMpegMakeMpegFn)(const EncodeParameters* parameters);
typedef void (*SwMpegShutdownFn)(void);
typedef void (*SwMpegSetFocusFn)(void);
typedef void (*SwMpegAppWndFn)(void* window);
/* 0 when the extension is taken, non-zero when the library refuses it. */
typedef int32_t (*SwMpegExtendFn)(const EncodeExtension* extension);
/* 0 when the tracks are taken; non-zero for a disc other than DVD, more streams than
 * ENCODE_SOUND_TRACK_LIMIT in all, or a record it cannot read. */
typedef int32_t (*SwMpegSoundTracksFn)(const EncodeSoundTrack* tracks, int32_t count, int32_t replaceSupply);

#ifdef __cplusplus
}
#endif

#endif
