#include <stdint.h>
#include <stdio.h>
int main(void) {
    enum { n = 1000000 };
    static char a[n];
    int64_t count = 0;
    for (int64_t i = 2; i < n; i++) {
        if (a[i] == 0) {
            count++;
            for (int64_t j = i * i; j < n; j += i) a[j] = 1;
        }
    }
    printf("%lld\n", (long long)count);
    return 0;
}
