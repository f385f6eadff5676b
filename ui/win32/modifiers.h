// The modifier keys as the core takes them.
#pragma once

// Shift, Ctrl and Alt as they are held at the message being handled (KeyModifier bits).
unsigned HeldModifiers();
