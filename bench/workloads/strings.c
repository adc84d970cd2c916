#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
int main(void) {
    size_t cap = 16, len = 0;
    char *s = malloc(cap);
    for (int64_t i = 0; i < 200000; i++) {
        if (len + 1 > cap) s = realloc(s, cap *= 2);
        s[len++] = (char)('0' + i % 10);
    }
    int64_t n = 0;
    for (size_t k = 0; k < 200000; k++) n += (unsigned char)s[k];
    printf("%zu\n%lld\n", len, (long long)n);
    free(s);
    return 0;
}
