a = FFmpegSource2("clip.mkv", vtrack=0, atrack=1).Amplify(1.0, 0.5, 0.25)
b = ImageSource("seq\img%04d.png", 5, 12, 25, pixel_type="RGB32")
a.Normalize(0.9).BilinearResize(32, 24, 2, 2, -2, -2)
LanczosResize(64, 48, 0, 0, 16, 12, taps=4)
