#include "stats/TPacequillSSArray.h"
