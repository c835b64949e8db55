// A plain O(n²) DFT in long double, the independent reference for the kernels.
#pragma once

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace dsp_test {

// X[k] = sum x[t]·e^(sign·2πi·kt/n), no scaling.
inline std::vector<std::complex<long double>> Dft(const std::vector<double>& re,
                                                  const std::vector<double>& im, int sign = -1) {
    const std::size_t n = re.size();
    const long double pi = 3.141592653589793238462643383279502884L;
    std::vector<std::complex<long double>> twiddle(n);
    for (std::size_t m = 0; m < n; ++m)
        twiddle[m] = std::polar(1.0L, sign * 2 * pi * static_cast<long double>(m) / n);
    std::vector<std::complex<long double>> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<long double> sum = 0;
        for (std::size_t t = 0; t < n; ++t)
            sum += std::complex<long double>(re[t], im[t]) * twiddle[(k * t) % n];
        out[k] = sum;
    }
    return out;
}

inline std::vector<double> RandomBlock(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v)
        x = dist(gen);
    return v;
}

// Rounding error of an n-point transform of values bounded by 1 stays far below this.
inline double Tolerance(std::size_t n) {
    return 1e-13 * static_cast<double>(n) * (std::log2(static_cast<double>(n)) + 1);
}

} // namespace dsp_test
