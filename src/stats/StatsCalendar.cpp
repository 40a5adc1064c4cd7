#include "stats/StatsCalendar.h"
