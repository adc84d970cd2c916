#include <stdio.h>

int main(void) {
    char s[1001];
    for (int i = 0; i < 1000; i++) s[i] = (char)('0' + i % 10);
    s[1000] = 0;
    FILE *f = fopen("/tmp/oxel_bench_fread_bytes.txt", "w");
    for (int k = 0; k < 1000; k++) fputs(s, f);
    fclose(f);
    FILE *g = fopen("/tmp/oxel_bench_fread_bytes.txt", "r");
    long n = 0, sevens = 0;
    int c = 'x';
    while (c != EOF) {
        c = getc(g);
        if (c == '7') sevens++;
        n++;
    }
    fclose(g);
    printf("%ld\n%ld\n", n, sevens);
    return 0;
}
