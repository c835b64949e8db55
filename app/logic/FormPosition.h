#pragma once
// Where a dialog goes when it is centred over its reference form.
// Pixels, screen coordinates. Pure; any thread.

struct FormRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct FormPoint {
    int left = 0;
    int top = 0;
};

// left = ref.left + round((ref.width - width) / 2), likewise for top; halves round to even.
// Not clipped to the screen: a dialog larger than its reference lands left of or above it.
FormPoint CentredFormPosition(const FormRect& reference, int width, int height);
