-- the same hash for a Lua without integer bit operators: the bit library works
-- on 32-bit words, which is all the hash keeps
local bit = require("bit")
local band, bor, bxor, bnot, shl, shr = bit.band, bit.bor, bit.bxor, bit.bnot, bit.lshift, bit.rshift
local h, x = bit.tobit(2166136261), 0
for i = 0, 1999999 do
  local a = shl(h, 5)
  local b = shr(h, 2)
  local t = bxor(a, b)
  t = bxor(t, i)
  h = bxor(h, t)
  local n = bnot(h)
  n = band(n, 255)
  local s = shl(n, 11)
  h = bxor(h, s)
  local o = band(h, 1)
  s = shr(h, 13)
  s = bor(s, o)
  h = bxor(h, s)
  x = bxor(x, h)
end
if h < 0 then h = h + 4294967296 end
if x < 0 then x = x + 4294967296 end
print(h)
print(x)
