#include <stdint.h>
#include <stdio.h>
/* noinline keeps the calls: the floor is a compiled call, not a folded loop */
__attribute__((noinline)) static int64_t mix(int64_t a, int64_t b) {
    int64_t r = a * 31;
    r = r + b;
    return r % 1000003;
}
__attribute__((noinline)) static int64_t mix3(int64_t a, int64_t b, int64_t c) {
    return mix(mix(a, b), c);
}
__attribute__((noinline)) static int64_t pick(int64_t a, int64_t b, int64_t c, int64_t d) {
    return a > b ? c : d;
}
int main(void) {
    int64_t s = 1;
    for (int64_t i = 0; i < 600000; i++) {
        s = mix(s, i);
        s = mix3(s, i, 7);
        s = s + pick(s, 500000, 3, 5);
    }
    printf("%lld\n", (long long)s);
    return 0;
}
