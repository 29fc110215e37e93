// Sizes for screens of any pixel density.
#include "util/DpiScale.h"

int WholeScale(int dpi) {
    if (dpi <= 0)
        return 1;
    int factor = (dpi + kBaseDpi / 2) / kBaseDpi;
    return factor < 1 ? 1 : factor;
}

namespace {

// length × numerator / denominator, rounded to the nearest with halves away from zero.
int MulDivRounded(int length, int numerator, int denominator) {
    long long scaled = static_cast<long long>(length) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator
                                        : (scaled - half) / denominator);
}

} // namespace

int ScaleForDpi(int length, int dpi) {
    if (dpi <= 0 || dpi == kBaseDpi)
        return length;
    return MulDivRounded(length, dpi, kBaseDpi);
}

int UnscaleForDpi(int length, int dpi) {
    if (dpi <= 0 || dpi == kBaseDpi)
        return length;
    return MulDivRounded(length, kBaseDpi, dpi);
}

std::vector<std::uint32_t> ScaleNearest(const std::vector<std::uint32_t>& pixels, int width,
                                        int height, int newWidth, int newHeight) {
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    std::vector<std::uint32_t> scaled(static_cast<std::size_t>(newWidth) *
                                      static_cast<std::size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        // The centre of new pixel y, (y + 1/2) * height / newHeight, in whole old pixels.
        long long fromY = (2LL * y + 1) * height / (2LL * newHeight);
        for (int x = 0; x < newWidth; ++x) {
            long long fromX = (2LL * x + 1) * width / (2LL * newWidth);
            scaled[static_cast<std::size_t>(y) * newWidth + x] =
                pixels[static_cast<std::size_t>(fromY * width + fromX)];
        }
    }
    return scaled;
}
