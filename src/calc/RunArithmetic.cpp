#include "calc/RunArithmetic.h"
