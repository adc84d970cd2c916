#include <math.h>
#include <stdio.h>
int main(void) {
    double s = 0.0, x = 1.0;
    for (int i = 0; i < 1000000; i++) {
        s = s + sqrt(x);
        x = x + 1.0;
    }
    printf("%lld\n", (long long)s);
    return 0;
}
