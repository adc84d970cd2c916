#include <stdint.h>
#include <stdio.h>
int main(void) {
    enum { n = 120 };
    static int64_t a[n * n], b[n * n], c[n * n];
    for (int64_t k = 0; k < n * n; k++) {
        a[k] = k % 7;
        b[k] = k % 5;
    }
    for (int64_t i = 0; i < n; i++)
        for (int64_t j = 0; j < n; j++) {
            int64_t s = 0;
            for (int64_t k = 0; k < n; k++) s += a[i * n + k] * b[k * n + j];
            c[i * n + j] = s;
        }
    int64_t t = 0;
    for (int64_t k = 0; k < n * n; k++) t += c[k];
    printf("%lld\n", (long long)t);
    return 0;
}
