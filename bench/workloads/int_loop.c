#include <stdint.h>
#include <stdio.h>
int main(void) {
    int64_t s = 0;
    for (int64_t i = 0; i < 10000000; i++) {
        int64_t t = i * i;
        t = t % 7;
        s = s + t;
    }
    printf("%lld\n", (long long)s);
    return 0;
}
