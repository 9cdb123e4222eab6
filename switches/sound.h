// The switch click: one short sample from the module's resources, played through one
// DirectSound device and buffer per clicking gauge. The first failure anywhere switches all
// sound off for as long as the module stays loaded; the switches keep working silently.
#pragma once

#include "framework/records.h"

struct HWND__;
typedef HWND__* HWND;
struct IDirectSound;
struct IDirectSoundBuffer;

namespace sound {

// Resource id of the click sample (type "WAVE") in the switch panel module.
constexpr int32_t kClickResource = 500;

// 1 from load; 0 for good after the first failure.
extern int32_t sound_enabled;

// The click sound slot of one clicking gauge: empty at load, filled at service 2 (device,
// then buffer), emptied at service 12 (buffer, then device).
struct click_sound_slot {
    GAUGE_RESOURCE_HANDLE resources;  // the module's resource handle, from service 2
    HWND window;                      // the host main window, or null
    IDirectSound* device;             // owned DirectSound device, or null
    IDirectSoundBuffer* buffer;       // owned secondary buffer holding the sample, or null
};

HWND find_host_window();
int32_t sound_create_device(HWND window, IDirectSound** device);
uint32_t sound_load_wave(IDirectSound** device, IDirectSoundBuffer** buffer, int32_t resource_id,
                         GAUGE_RESOURCE_HANDLE resources);
int32_t sound_play(IDirectSoundBuffer** buffer, uint32_t flags);
void sound_release(IDirectSound** device);
void sound_release(IDirectSoundBuffer** buffer);

// Service 2 of a clicking gauge: remember the resource handle, find the host window, create
// the device, load the sample (the click, unless another "WAVE" resource is named). Results
// are not acted on: a failure has already switched sound off.
void click_sound_setup(click_sound_slot& slot, GAUGE_EXTRA_DATA resource_handle,
                       int32_t resource_id = kClickResource);
// Service 12: release the buffer, then the device.
void click_sound_teardown(click_sound_slot& slot);
// A clicking handler, after its key events: play the gauge's own buffer once.
inline void click(click_sound_slot& slot) { sound_play(&slot.buffer, 0); }

}  // namespace sound
