#pragma once

struct PortSettings;

// The configuration pages the host's plug-in configuration command leads to. Every page edits
// the settings in memory only: a confirmed dialog writes its values straight into Settings(), a
// cancelled one leaves them as they were. Saving is the caller's (Configure saves once, when
// the user leaves the configuration menu).
namespace Plugin {

// The configuration menu: general settings, SMS settings and model information, shown again
// after each page until the user leaves it. Saves nothing itself.
void ConfigurationMenu();

// The menu items, the two ports and the transcript. A port's button stores what the dialog
// holds so far, opens that port's page and then shows this dialog again with the ports'
// descriptions as they are now.
void EditGeneralSettings();

// Whether the numbers are shown beside known names, and the default service centre.
void EditSMSSettings();

// One port's speed, frame, flow control and time-out. Returns whether the user confirmed.
bool EditPortSettings(PortSettings& port);

// The model profiles, the default one first: Enter edits the chosen one, Insert adds a profile
// for a model the user names.
void EditModelProfiles();

// Asks for a manufacturer and a model and appends a profile for them, made from the default
// profile as a newly seen phone's is. An empty name or a pair that already has a profile is
// refused with a box and the dialog comes back as typed. Returns the new profile's position in
// the list, or -1 when the user cancelled.
int AddModelProfile();

}  // namespace Plugin
