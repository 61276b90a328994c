#pragma once

// What this program puts into a calendar file beyond the standard properties.

// The task's stored status, kept so that a calendar written by this program comes back as the
// same tasks. An event that carries it is one of this program's tasks: its date and status
// are taken as they stand.
inline constexpr const char* kStatusProperty = "X-MARMOSET-TASK-STATUS";

inline constexpr const char* kProductId = "-//Marmoset Task//Marmoset Task 2.0//EN";
// UIDs end in this, after a number made from the task.
inline constexpr const char* kUidDomain = "@marmoset-task";
