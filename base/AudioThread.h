// The audio thread: the audio layer's own thread, which renders every playing channel and runs
// the DSP routines and syncs set on it. CORVANEL_AUDIO_THREAD marks a function called there
// (an export may call the same function on another thread): in the steady state it allocates
// nothing, waits on nothing another thread holds for long, and makes no system call.
#pragma once

#define CORVANEL_AUDIO_THREAD
