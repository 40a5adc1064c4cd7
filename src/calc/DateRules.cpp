#include "calc/DateRules.h"
