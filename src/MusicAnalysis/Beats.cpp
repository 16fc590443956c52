#include "Beats.h"
