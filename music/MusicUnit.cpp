#include "music/MusicUnit.h"
