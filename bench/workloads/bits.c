#include <stdint.h>
#include <stdio.h>
int main(void) {
    int64_t h = 2166136261, m = 4294967295, x = 0;
    for (int64_t i = 0; i < 2000000; i++) {
        int64_t a = h << 5;
        int64_t b = h >> 2;
        int64_t t = a ^ b;
        t = t ^ i;
        h = h ^ t;
        h = h & m;
        int64_t n = ~h;
        n = n & 255;
        int64_t s = n << 11;
        h = h ^ s;
        int64_t o = h & 1;
        s = h >> 13;
        s = s | o;
        h = h ^ s;
        x = x ^ h;
    }
    printf("%lld\n%lld\n", (long long)h, (long long)x);
    return 0;
}
