// The reminders at login: the autostart entry an install writes (running
// `kesp --remind` when the user logs in), found through the file
// ".autostart-entry" beside the program. It is off (Hidden=true) until the user
// switches it on in the coming-up window.
#pragma once

#include <optional>

// On or off; nothing when the program was not installed with an entry.
std::optional<bool> RemindersAtLogin();

// Switches the entry on or off; false when there is none or it cannot be written.
bool SetRemindersAtLogin(bool on);
