a = BlankClip(length=20, width=64, height=48)
b = ColorBars(64, 48).Trim(0, 9).AssumeFPS(24)
(a.Trim(2, -5) ++ b).Crop(2, 2, -2, -2).AddBorders(1, 1, 1, 1)
ChangeFPS(30000, 1001).FadeOut(3).Amplify(0.5)
