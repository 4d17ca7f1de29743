#include "settings/model_profile.h"

#include "farlib/registry.h"

ModelProfile DefaultProfile() {
  ModelProfile profile;
  profile.Manufacturer = kDefaultProfileName;
  return profile;
}

ModelProfile ReadProfile(const Platform::CRegKey& key) {
  const ModelProfile defaults;
  ModelProfile profile;
  FarLib::ReadRegString(key, "Manufacturer", profile.Manufacturer);
  FarLib::ReadRegString(key, "Model", profile.Model);
  FarLib::ReadRegString(key, "Charset", profile.Charset);
  profile.SpecialCharacters =
      FarLib::ReadRegInteger(key, "SpecialCharacters", 0, 2, defaults.SpecialCharacters);
  profile.Flags = FarLib::ReadRegDword(key, "Flags", defaults.Flags);
  return profile;
}

uint32_t WriteProfile(Platform::CRegKey& key, const ModelProfile& profile) {
  const uint32_t statuses[] = {
      FarLib::WriteRegString(key, "Manufacturer", profile.Manufacturer),
      FarLib::WriteRegString(key, "Model", profile.Model),
      FarLib::WriteRegDword(key, "SpecialCharacters",
                            static_cast<uint32_t>(profile.SpecialCharacters)),
      FarLib::WriteRegDword(key, "Flags", profile.Flags),
      FarLib::WriteRegString(key, "Charset", profile.Charset),
  };
  for (const uint32_t status : statuses) {
    if (status != Platform::kErrorSuccess) return status;
  }
  return Platform::kErrorSuccess;
}
