#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Runners mark their runs in the notes: "#tempo" tags a run, "@pegasus" names the shoe it was run in. A mark is
// its sign followed by one or more name bytes (letters, Windows-1252 ones included, digits, "-", "_"), where the
// sign starts the notes or follows a byte that is no name byte, so "C#" and "me@home" mark nothing.
inline constexpr char TagSign = '#';
inline constexpr char ShoeSign = '@';

// True for the bytes a mark's name is made of.
bool IsMarkNameByte(char byte);

// The names of the marks with the given sign in a notes text, in the order written, each name once: a name
// repeated in another letter case is the same name and keeps its first spelling. The views point into notes.
void FindMarks(std::string_view notes, char sign, std::vector<std::string_view> &names);

// True when the notes carry the mark (its name compared ignoring letter case).
bool HasMark(std::string_view notes, char sign, std::string_view name);

// Two names are the same mark when they differ at most in letter case, for every letter of the code page
// (é and É, œ and Œ).
bool SameMarkName(std::string_view first, std::string_view second);

// The name with its capitals made small: the form in which names are compared and ordered.
std::string MarkKey(std::string_view name);

// True when every byte of a text is a name byte and there is at least one.
bool IsMarkName(std::string_view name);

// "rpe:7" in the notes says how hard a run felt, from 1 (very easy) to 10 (all-out). The marker is its letters in
// any case, at the start of the notes or after a byte that is no letter or digit, followed by a whole number
// without sign or leading zero that ends the notes or is followed by a byte that is no letter or digit.
inline constexpr std::string_view EffortMarker = "rpe:";
inline constexpr int LeastEffort = 1;
inline constexpr int MostEffort = 10;

// The number of the first effort marker in the notes whose number lies from LeastEffort to MostEffort; markers
// outside that range are passed over. Nothing when there is none.
std::optional<int> PerceivedEffort(std::string_view notes);

} // namespace pq
