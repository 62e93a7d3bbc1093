// Dialog control ids of the converter window that core logic addresses, and the
// command ids the window's response table dispatches.
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
// Making a disc after converting, and the folder it goes into.
inline constexpr int discCheck = 1402;
inline constexpr int chooseDiscFolder = 1403;
// The shape of the frames: automatic, 4:3 or 16:9.
inline constexpr int shapeAutoRadio = 1405;
inline constexpr int shapeFourByThreeRadio = 1406;
inline constexpr int shapeSixteenByNineRadio = 1407;
// The disc the batch is planned for, its size in MB and the meter of what the batch takes.
inline constexpr int discSizeChoice = 1420;
inline constexpr int discSizeEdit = 1421;
inline constexpr int discMeter = 1422;

// Image buttons.
inline constexpr int startConversion = 1147;
inline constexpr int openInput = 1143;
inline constexpr int chooseOutput = 1136;
inline constexpr int about = 1148;
inline constexpr int exitButton = 1149;
inline constexpr int help = 1150;
inline constexpr int checkLog = 1292;
inline constexpr int homePage = 1291;
inline constexpr int inputPlay = 1181;
inline constexpr int outputPlay = 1184;

} // namespace discforge::control

namespace discforge::command {

// Commands without a control in the skin: the input list's context menu and its keys.
inline constexpr int removeInput = 1144;
inline constexpr int moveInputUp = 1146;
inline constexpr int moveInputDown = 1145;
inline constexpr int openProject = 1163;
inline constexpr int saveProject = 1160;
// Adds a file to the list without replacing the selected input.
inline constexpr int addInput = 1401;
// Makes a disc of the streams the inputs have converted to.
inline constexpr int authorDisc = 1404;
// Shows the decoder settings of the selected input, from the input list's menu.
inline constexpr int decoderSettings = 1430;
// Posted by the previews and the keyboard.
inline constexpr int renderInputPreview = 1152;
inline constexpr int renderOutputPreview = 1153;
inline constexpr int enterKey = 1156;
inline constexpr int letterN = 1157;
inline constexpr int letterT = 1158;
inline constexpr int stopPlayback = 1186;
inline constexpr int stopStream = 1185;
inline constexpr int stopPlaybackAlias = 1183;
inline constexpr int stopStreamAlias = 1182;

} // namespace discforge::command
