#include <stdint.h>
#include <stdio.h>
int main(void) {
    int64_t x = 7;
    for (int64_t i = 0; i < 30000; i++) {
        printf("%lld\n", (long long)i);
        x = x * 75;
        x = x % 65537;
        printf("%lld\n", (long long)x);
        printf("%lld\n", (long long)(0 - x));
        puts("tick");
        puts("");
    }
    return 0;
}
