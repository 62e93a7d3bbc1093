# comments and forms
x = 1 + 2 * $10 /* block */ [* nested [* deeper *] *]
y = x > 3 ? "yes" : """no "way" """
BlankClip(x, 32, 32) \
  .Subtitle(y).TurnLeft()
return last.KillAudio()
