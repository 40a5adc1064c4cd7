#pragma once

namespace pq {

// The mean radius of the earth that GPX distances are measured on.
inline constexpr double EarthRadiusMeters = 6371008.8;

// The great-circle distance between two points given in degrees, by the haversine formula.
double HaversineMeters(double latitude1, double longitude1, double latitude2, double longitude2);

} // namespace pq
