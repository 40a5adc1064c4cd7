#include "stats/PeriodTotals.h"
