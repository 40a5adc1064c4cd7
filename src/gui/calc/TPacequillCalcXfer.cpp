#include "calc/TPacequillCalcXfer.h"

TPacequillCalcXfer &TPacequillCalcXfer::Shared() {
    static TPacequillCalcXfer record;
    return record;
}
