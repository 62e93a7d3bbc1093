// Dialog control ids of the converter window that core logic addresses.
#pragma once

namespace discforge::control {

inline constexpr int inputList = 1138;
inline constexpr int outputName = 1135;
inline constexpr int inputPreview = 1133;
inline constexpr int outputPreview = 1142;
inline constexpr int inputPosition = 1131;
inline constexpr int outputPosition = 1132;
inline constexpr int invertCheck = 1189;
inline constexpr int splitCheck = 1294;
inline constexpr int shutdownCheck = 1300;
inline constexpr int proportionalRadio = 1174;
inline constexpr int fillRadio = 1175;
inline constexpr int vcdRadio = 1197;
inline constexpr int dvdRadio = 1198;
inline constexpr int svcdRadio = 1199;
inline constexpr int ntscRadio = 1295;
inline constexpr int palRadio = 1296;
inline constexpr int widthEdit = 1169;
inline constexpr int heightEdit = 1168;
inline constexpr int maxSizeEdit = 1293;

} // namespace discforge::control
