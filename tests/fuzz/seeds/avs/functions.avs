Import("lib.avsi")
global scale = 2
function Part(clip c, int "first", int "count") {
    first = Default(first, 10)
    count = Defined(count) ? count : 5
    return c.Trim(first, first + count - 1)
}
function Count(int n) { return n <= 0 ? 0 : 1 + Count(n - 1) }
s = String(Round(2.5)) + LeftStr("discforge", 4) + UCase(MidStr("abc", 2, 1))
x = Select(1, "a", s) == "x" ? Min(1, 2.5) : Max(3, Abs(-4))
AviSource("clip.avi").Part(count=Count(3)).SelectEvery(4, 0, 2).Loop(2, 0, 1)
Exist("clip.avi") ? last : BlankClip(length=Width() * scale)
