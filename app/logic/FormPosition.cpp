#include "app/logic/FormPosition.h"

#include <cmath>

namespace {
int HalfDifference(int referenceSize, int size) {
    // nearbyint honours the default rounding mode: to nearest, halves to even.
    return static_cast<int>(std::nearbyint((referenceSize - size) / 2.0));
}
} // namespace

FormPoint CentredFormPosition(const FormRect& reference, int width, int height) {
    return {reference.left + HalfDifference(reference.width, width),
            reference.top + HalfDifference(reference.height, height)};
}
