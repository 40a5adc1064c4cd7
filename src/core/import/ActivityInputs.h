#pragma once

#include <string>
#include <vector>

#include "import/Activity.h"
#include "import/ActivityFiles.h"

namespace pq {

// One file to import: a file of its own, or a member of a zip archive.
struct ActivityInput {
    ActivityInput(std::string path, std::string member = {}) : Path(std::move(path)), Member(std::move(member)) {}

    std::string Path;
    std::string Member; // the member's name inside the archive at Path; empty for a file of its own

    // The path, followed for a member by "/" and the member's name.
    std::string Name() const { return Member.empty() ? Path : Path + "/" + Member; }
};

// The files behind what the user named: a folder gives the files under it, recursively, whose names end in a
// known extension (.gpx, .tcx, .fit, .csv, each also with .gz, and .zip), hidden files and folders skipped, in
// the order of their paths; a zip archive (named .zip) gives its members with such a name; anything else is a
// file of its own, whatever its name. What cannot be listed is added to errors.
std::vector<ActivityInput> ExpandActivityInputs(const std::vector<std::string> &paths, std::vector<ReadError> &errors);

// What ReadActivityFile gives for a file; a member of an archive is read from it through libzip (the last archive
// each thread opened stays open for its next member).
FileActivities ReadActivityInput(const ActivityInput &input);

} // namespace pq
