#pragma once
#include <string>

#include "settings/model_profile.h"

// Matching phones to their profiles in the settings' profile list.

// The first profile, in list order, whose manufacturer and model both equal the phone's
// (exactly, letter case included); null when there is none.
ModelProfile* FindProfile(ModelProfileList& profiles, const std::string& manufacturer,
                          const std::string& model);

// A profile for another phone made from `source`: the special characters and flags are
// copied; the character set starts empty so that the new phone's own is settled on its start.
ModelProfile CopyProfile(const ModelProfile& source, const std::string& manufacturer,
                         const std::string& model);

// Appends a profile for a phone seen for the first time, copied from the default profile
// (the list's first entry), and returns it. Earlier entries stay where they are.
ModelProfile& AddProfile(ModelProfileList& profiles, const std::string& manufacturer,
                         const std::string& model);
