#include "log/CodePage1252.h"
