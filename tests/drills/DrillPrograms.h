#pragma once

#include <string_view>

// The programs the drills run; empty where this configuration does not build them (sanitizer builds, for one).
#ifdef PQUIL_BINARY
inline constexpr std::string_view PquilBinary = PQUIL_BINARY;
#else
inline constexpr std::string_view PquilBinary;
#endif
#ifdef DRILL_LOAD_LOG
inline constexpr std::string_view LoaderBinary = DRILL_LOAD_LOG;
#else
inline constexpr std::string_view LoaderBinary;
#endif
