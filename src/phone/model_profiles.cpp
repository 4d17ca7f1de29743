#include "phone/model_profiles.h"

#include <algorithm>

ModelProfile* FindProfile(ModelProfileList& profiles, const std::string& manufacturer,
                          const std::string& model) {
  const auto found = std::find_if(profiles.begin(), profiles.end(), [&](const ModelProfile& p) {
    return p.Manufacturer == manufacturer && p.Model == model;
  });
  return found == profiles.end() ? nullptr : &*found;
}

ModelProfile CopyProfile(const ModelProfile& source, const std::string& manufacturer,
                         const std::string& model) {
  ModelProfile copy;
  copy.Manufacturer = manufacturer;
  copy.Model = model;
  copy.SpecialCharacters = source.SpecialCharacters;
  copy.Flags = source.Flags;
  return copy;
}

ModelProfile& AddProfile(ModelProfileList& profiles, const std::string& manufacturer,
                         const std::string& model) {
  const ModelProfile source = profiles.empty() ? DefaultProfile() : profiles.front();
  return profiles.emplace_back(CopyProfile(source, manufacturer, model));
}
