#include <math.h>
#include <stdio.h>
int main(void) {
    double s = 0.0, x = 0.5;
    for (int i = 0; i < 1000000; i++) {
        double y = 1.0 - x;
        y = y * y;
        double z = 2.0 + y;
        double r = sqrt(z);
        double q = 1.0 / r;
        double u = x / 3.0;
        q = q - u;
        s = s + q;
        x = x + 0.000001;
    }
    printf("%lld\n", (long long)(s * 1000.0));
    return 0;
}
