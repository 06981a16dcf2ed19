#pragma once
// Which database club an opened file should replace: the proposal of the target dialogs.
// The club list is the tree's pick list: "club name (nation)" per entry.
#include "importerror.h"
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace imp {

// The three Team keys the proposal compares: "Name", "Stadt" and the country ("Land" in
// exporter club files, "Nation" in team files). Missing keys are empty.
struct TargetKeys {
    std::string name, stadt, land;
};
TargetKeys clubFileKeys(const std::filesystem::path& aetFile);
TargetKeys teamFileKeys(const std::filesystem::path& teaFile);

// Index of the proposed entry, -1 for none. Walking from the first entry: an entry ending in
// " " + stadt + " (" + land + ")" becomes the candidate (a later one replaces it); an entry
// whose name part (the text before its last " (") contains the club name (case-sensitive)
// becomes the candidate and ends the search. An empty club name matches no entry, so a file
// without a name never proposes the list's first club.
int candidateClub(const std::vector<std::string>& entries, const TargetKeys& keys);

}  // namespace imp
