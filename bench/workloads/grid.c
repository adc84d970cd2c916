#include <stdint.h>
#include <stdio.h>
int main(void) {
    enum { n = 200 };
    static int64_t g[n * n];
    for (int64_t k = 0; k < n * n; k++) g[k] = k % 10;
    for (int p = 0; p < 40; p++)
        for (int64_t i = 1; i < n; i++) {
            int64_t row = i * n;
            for (int64_t j = 1; j < n; j++) {
                int64_t idx = row + j;
                int64_t v = g[idx - n] + g[idx - 1];
                v = v + g[idx];
                g[idx] = v % 1000003;
            }
        }
    int64_t t = 0;
    for (int64_t k = 0; k < n * n; k++) t += g[k];
    printf("%lld\n", (long long)t);
    return 0;
}
