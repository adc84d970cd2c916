#include <stdint.h>
#include <stdio.h>
/* noinline keeps the call: the floor is a compiled call, not a folded loop */
__attribute__((noinline)) static int64_t add3(int64_t a, int64_t b, int64_t c) {
    int64_t r = a + b;
    return r + c;
}
int main(void) {
    int64_t s = 0;
    for (int64_t i = 0; i < 3000000; i++) {
        s = add3(s, i, 1);
        s = s % 1000003;
    }
    printf("%lld\n", (long long)s);
    return 0;
}
