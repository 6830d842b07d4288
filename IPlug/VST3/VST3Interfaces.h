#pragma once

// The VST3 interfaces as pure C declarations (Debian's dpf-source, found by the build at
// /usr/share/dpf/distrho/src/travesty). Every file of the binding includes them through here.
#include "travesty/audio_processor.h"
#include "travesty/base.h"
#include "travesty/bstream.h"
#include "travesty/component.h"
#include "travesty/edit_controller.h"
#include "travesty/factory.h"
#include "travesty/host.h"
#include "travesty/message.h"
#include "travesty/view.h"
