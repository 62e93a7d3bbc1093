find_package(PkgConfig REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
  libavformat libavcodec libavutil libswscale libswresample)
# The filter and device libraries run script inputs only: the program loads them
# when a script opens (platform/FilterLibrary), so only their headers are used here.
pkg_check_modules(FFMPEG_FILTERS REQUIRED libavfilter libavdevice)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
# Qt's test library names each test's folders in a compiler option, for QFINDTESTDATA,
# which no test here uses; without them one compiler cache serves every clone.
get_target_property(qtTestDefinitions Qt6::Test INTERFACE_COMPILE_DEFINITIONS)
list(FILTER qtTestDefinitions EXCLUDE REGEX "^QT_TESTCASE_")
set_target_properties(Qt6::Test PROPERTIES INTERFACE_COMPILE_DEFINITIONS "${qtTestDefinitions}")
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
include(GoogleTest)
