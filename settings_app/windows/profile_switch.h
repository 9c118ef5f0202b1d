#pragma once
// Adding the text service's language profile to the current user's input-method list, or
// removing it, through the system's input.dll; and the program's own toggle-key reader.

#include "profile_string.h"

// The profile as the system names it, made from the identifiers the text service registers.
extern const ProfileString TextServiceProfileString;

// True when the system accepted the change. A missing input.dll or a missing
// InstallLayoutOrTip counts as a failed change.
bool SetInputProfileEnabled(bool enable);

// True only when ToggleKey holds exactly "CapsLock".
bool ReadToggleKeyIsCapsLock();
