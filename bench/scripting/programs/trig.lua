local sin, cos = math.sin, math.cos
local x = 0.0
for i = 1, 1000000 do
  x = x + sin(i * 0.001) * cos(i * 0.002)
end
print(string.format('%.6f', x))
