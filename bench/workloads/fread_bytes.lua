local parts = {}
for i = 0, 999 do parts[#parts + 1] = tostring(i % 10) end
local s = table.concat(parts)
local f = io.open("/tmp/oxel_bench_fread_bytes.txt", "w")
for _ = 1, 1000 do f:write(s) end
f:close()
local g = io.open("/tmp/oxel_bench_fread_bytes.txt", "r")
local n, sevens = 0, 0
local c = "x"
while c do
  c = g:read(1)
  if c == "7" then sevens = sevens + 1 end
  n = n + 1
end
g:close()
print(n)
print(sevens)
