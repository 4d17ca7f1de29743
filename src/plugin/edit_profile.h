#pragma once
#include "settings/model_profile.h"

// The model information dialog: the special-character choice and the four behaviour switches
// of one profile. Confirming changes the profile in memory only; saving is the caller's.
// Returns whether the user confirmed.
bool EditProfile(ModelProfile& profile);
