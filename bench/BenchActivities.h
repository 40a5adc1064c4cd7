#pragma once

#include <string>
#include <vector>

// A thousand one-hour GPX runs with one point a second, as the import benchmarks read them.
inline constexpr int BenchRunCount = 1000;

// The GPX file of run `index`: one hour from a start a day after the one before.
std::string OneHourGpx(int index);

// The thousand runs as files in the temporary directory, written once and kept for later runs.
std::vector<std::string> OneHourGpxFiles();

// The export of a whole account: one zip archive of 3,000 one-hour runs, a third each as .fit.gz (a record a
// second), .gpx.gz (a point a second) and .tcx.gz (a track point a second), written once to the temporary
// directory and kept.
inline constexpr int ExportRunCount = 3000;
std::string AccountExportZip();
