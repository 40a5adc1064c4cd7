#include "log/TPQLComparator.h"
