// The two transforms written out step by step as designed: twiddles by cos/sin at the point of
// use, loops in their written order. The production kernels cache twiddles and run each
// stage block by block; they must give the same bits.
#pragma once

#include <cmath>
#include <utility>

namespace dsp_test {

inline void LiteralBitReverse(int n, double* ar, double* ai) {
    int j = 0;
    for (int i = 1; i <= n - 2; ++i) {
        int k = n >> 1;
        for (;;) {
            j ^= k;
            if (k <= j)
                break;
            k >>= 1;
        }
        if (i < j) {
            std::swap(ar[i], ar[j]);
            std::swap(ai[i], ai[j]);
        }
    }
}

inline void LiteralSplitRadix(int n, double* ar, double* ai) {
    double e = -6.283185307179586 / n;
    for (int B = n; B > 2; B >>= 1) {
        const int Q = B >> 2;
        for (int j = 0; j < Q; ++j) {
            const double c1 = std::cos(e * j), s1 = std::sin(e * j);
            const double e3 = 3 * e;
            const double c3 = std::cos(e3 * j), s3 = std::sin(e3 * j);
            for (int f = B; f <= n; f *= 4) {
                for (int i0 = f - B + j; i0 < n; i0 += 2 * f) {
                    const int i1 = i0 + Q, i2 = i1 + Q, i3 = i2 + Q;
                    const double r1 = ar[i0] - ar[i2], u1 = ai[i0] - ai[i2];
                    ar[i0] += ar[i2];
                    ai[i0] += ai[i2];
                    const double a = ar[i3] - ar[i1], b = ai[i3] - ai[i1];
                    ar[i1] += ar[i3];
                    ai[i1] += ai[i3];
                    const double xr = r1 - b, xi = u1 + a;
                    ar[i2] = c1 * xr - s1 * xi;
                    ai[i2] = c1 * xi + s1 * xr;
                    const double yr = r1 + b, yi = u1 - a;
                    ar[i3] = c3 * yr - s3 * yi;
                    ai[i3] = c3 * yi + s3 * yr;
                }
            }
        }
        e = 2 * e;
    }
    for (int f = 2; f <= n; f *= 4) {
        for (int i0 = f - 2; i0 < n; i0 += 2 * f) {
            const double r = ar[i0], im = ai[i0];
            ar[i0] = r + ar[i0 + 1];
            ar[i0 + 1] = r - ar[i0 + 1];
            ai[i0] = im + ai[i0 + 1];
            ai[i0 + 1] = im - ai[i0 + 1];
        }
    }
    LiteralBitReverse(n, ar, ai);
}

inline void LiteralRadix2(int n, double* ar, double* ai, bool inverse) {
    LiteralBitReverse(n, ar, ai);
    double theta = inverse ? 6.283185307179586 : -6.283185307179586;
    for (int m = 1; 2 * m <= n; m *= 2) {
        theta = theta / 2;
        for (int i = 0; i < m; ++i) {
            const double c = std::cos(theta * i), s = std::sin(theta * i);
            for (int k = i; k < n; k += 2 * m) {
                const int p = k + m;
                const double tr = c * ar[p] - s * ai[p];
                const double ti = c * ai[p] + s * ar[p];
                ar[p] = ar[k] - tr;
                ai[p] = ai[k] - ti;
                ar[k] += tr;
                ai[k] += ti;
            }
        }
    }
    if (inverse) {
        for (int t = 0; t < n; ++t) {
            ar[t] *= 1.0 / n;
            ai[t] *= 1.0 / n;
        }
    }
}

} // namespace dsp_test
