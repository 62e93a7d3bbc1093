// The texts of the stream reader, the AVI reader and the fetch, and their
// caption contexts. Some texts name the support address in the middle; they
// are kept as the two parts around it.
#pragma once

namespace discforge::reader_message {

inline constexpr const char* supportAddress = "support@ferrowick.example";

// Stream reader.
inline constexpr const char* statusFirst = "Initialzing MultiMedia Stream 1 ...";
inline constexpr const char* statusNumbered = "Initializing MultiMedia Stream %d ...";
inline constexpr const char* statusOpeningFile = "Opening file ...";
inline constexpr const char* statusTimePerFrame = "Getting time per frame ...";
inline constexpr const char* statusDuration = "Getting duration ...";
inline constexpr const char* noCodecBefore = "Can't find a codec for your avi file, please make sure you have "
                                             "installed a appropriate codec. If you still have "
                                             "any trouble with opening this avi file. Please feel free to contact ";
inline constexpr const char* noCodecAfter = ", we will help you to retrieve an appropriate codec ASAP. 4CC: %s";
inline constexpr const char* fileMissing = "%s can not be found or read.";
inline constexpr const char* notVideo
    = "%s is not a video file this program can read, or it is cut short or damaged.";
inline constexpr const char* noVideoStream = "%s holds no pictures (no video stream).";
inline constexpr const char* damagedVideo = "%s is cut short or damaged: its pictures can not be read.";
inline constexpr const char* videoGraphHeading = "\r\nVideo Filter Graph:";
inline constexpr const char* audioGraphHeading = "Audio Filter Graph:";
inline constexpr const char* soundTrackLine = "Sound track %d: %s, %s, %s (%d channels), %d Hz%s%s";
inline constexpr const char* soundTrackMarked = ", default";
inline constexpr const char* soundTrackPlayed = ", played";
inline constexpr const char* vfwMark = "-->VFW";
inline constexpr const char* noSeekInformation = "Can not get seek information from MultiMedia Stream";
inline constexpr const char* seekQuestion = "File indicates it does not support seeking, try anyway?";
inline constexpr const char* seekQuestionContext = "open file warning";
inline constexpr const char* noTimePerFrame = "Can't get time per frame";
inline constexpr const char* noDurationKind0 = "Can not get Duration.";
inline constexpr const char* noDurationKind3 = "Can't get Duration";
inline constexpr const char* cannotOpen = "Can't open %s.";
inline constexpr const char* noFileInformation = "Can't get file information from %s.";
inline constexpr const char* noSize1 = "Can't get video width and height No.1";
inline constexpr const char* noSize2 = "Can't get video width and height No.2";
inline constexpr const char* sampleFailed = "open avi file error 29.";
inline constexpr const char* audioTypeUnsupported = "Audio type is not supported";
inline constexpr const char* audioBufferFailed = "open avi file error 33";
inline constexpr const char* audioSampleFailed = "open avi file error 37.";
inline constexpr const char* runFailed = "open avi file error 38.";
inline constexpr const char* noAudioBefore
    = "Input video is no audio stream or need an audio decoder. If you make sure that your avi has sound, please feel "
      "free to contact ";
inline constexpr const char* noAudioAfter = ". We will help you to retrive a sound decoder.";
inline constexpr const char* contextOpenVideo = "open avi file error";
inline constexpr const char* contextOpenVideoWarning = "open avi file warning";

// AVI reader.
inline constexpr const char* aviCannotOpen = "Can't open %s.";
inline constexpr const char* aviNoStreamInfo = "Can't get video stream information from %s.";
inline constexpr const char* aviNoDecompressorBefore
    = "Can't initialize avi file  %s, compressor = %c%c%c%c. Please email to ";
inline constexpr const char* aviNoDecompressorAfter = ". We can help you to fix this problem.";
inline constexpr const char* aviNoStreams = "%s can not be initialized.";
inline constexpr const char* aviNoFileInfo = "Can not get avi file information from %s.";
inline constexpr const char* aviNoVideoInfo = "Can not get video stream information from %s.";
inline constexpr const char* aviNoFrame = "Can't get frame %d from %s.";
inline constexpr const char* aviBadBits = "audio sample bit isn't supported.";
inline constexpr const char* aviNotRgb = "open AVI error 1.";
inline constexpr const char* aviNoLastFrame = "open AVI error 2.";
inline constexpr const char* contextAviLoading = "avi loading error";
inline constexpr const char* contextOpenAvi = "open AVI error";

// Fetch.
inline constexpr const char* statusSeekingFrame = "Seeking for frame ...";
inline constexpr const char* statusUpdatingFrame = "Updating DirectDraw sample ...";
inline constexpr const char* statusCheckingFrame
    = "Checking DirectDraw sample update completion status, time = %d seconds ...";
inline constexpr const char* statusSeekingSample = "Seeking for sample ...";
inline constexpr const char* statusUpdatingSample = "Updating audio sample ...";
inline constexpr const char* statusCheckingSample = "checking update status, time = %d seconds ...";
inline constexpr const char* videoTimeoutBefore = "Timeout, Can not get video frame. Please email to ";
inline constexpr const char* videoTimeoutAfter = " for supporting. 4CC: %s";
inline constexpr const char* audioTimeoutBefore = "Can not get audio sample. Please email to ";
inline constexpr const char* audioTimeoutAfter = " for supporting.";
inline constexpr const char* contextDecodeVideo = "decode video error";
inline constexpr const char* contextDecodeAudio = "decode audio error";

} // namespace discforge::reader_message
