#include "music/PlayList.h"
