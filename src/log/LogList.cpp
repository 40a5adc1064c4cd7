#include "log/LogList.h"
