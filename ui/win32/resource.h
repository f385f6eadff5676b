// Resource ids, shared by the resource script and the code.
#pragma once

// The window class asks for the icon by this id; the resource script names the group
// IDI_APP_ICON, so both spellings reach the same icon.
#define IDI_APP_ICON 101

// The main window's timer that retries a failed save.
#define IDT_RETRY_SAVING 1
