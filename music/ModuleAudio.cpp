#include "music/ModuleAudio.h"
