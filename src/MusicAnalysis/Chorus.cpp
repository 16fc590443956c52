#include "Chorus.h"
