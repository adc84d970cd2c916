x = 7
for i in range(30000):
    print(i)
    x = x * 75
    x = x % 65537
    print(x)
    print(0 - x)
    print("tick")
    print("")
