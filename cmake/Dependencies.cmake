find_package(PkgConfig REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
  libavformat libavcodec libavutil libswscale libswresample)
# The filter and device libraries run script inputs only: the program loads them
# when a script opens (platform/FilterLibrary), so only their headers are used here.
pkg_check_modules(FFMPEG_FILTERS REQUIRED libavfilter libavdevice)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
include(GoogleTest)
