#include "import/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

double HaversineMeters(double latitude1, double longitude1, double latitude2, double longitude2) {
    constexpr double Radians = std::numbers::pi / 180.0;
    const double phi1 = latitude1 * Radians;
    const double phi2 = latitude2 * Radians;
    const double halfDeltaPhi = (phi2 - phi1) / 2;
    const double halfDeltaLambda = (longitude2 - longitude1) * Radians / 2;
    const double sinPhi = std::sin(halfDeltaPhi);
    const double sinLambda = std::sin(halfDeltaLambda);
    const double h = sinPhi * sinPhi + std::cos(phi1) * std::cos(phi2) * sinLambda * sinLambda;
    // Rounding can push h a hair past 1 for antipodal points.
    return 2 * EarthRadiusMeters * std::asin(std::sqrt(std::min(h, 1.0)));
}

} // namespace pq
